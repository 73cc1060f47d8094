// Environment variables, computer name, temp path, the local IPv4 address.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/os/oscore_internal.h"

extern char** environ;

namespace {

std::mutex g_envHookMutex;
std::function<std::string()> g_computerName;
std::function<std::string(const std::string&)> g_resolver;

// The variable's entry name: an exact match first, else the first name
// equal without regard to case.  False when there is none.
bool FindVariable(const std::string& name, std::string& foundName, std::string& value) {
  if (const char* v = std::getenv(name.c_str())) {
    foundName = name;
    value = v;
    return true;
  }
  for (char** e = environ; e && *e; ++e) {
    const char* eq = std::strchr(*e, '=');
    if (!eq) continue;
    const std::string entryName(*e, static_cast<std::size_t>(eq - *e));
    if (platform::SameTextAscii(entryName, name)) {
      foundName = entryName;
      value = eq + 1;
      return true;
    }
  }
  return false;
}

// This workstation's host name, at most 127 bytes as the Win32 buffer takes.
std::string HostName() {
  char buf[128] = {};
  if (::gethostname(buf, sizeof buf - 1) != 0) return std::string();
  return std::string(buf);
}

std::string Dotted(const in_addr& a) {
  char text[INET_ADDRSTRLEN] = {};
  if (!::inet_ntop(AF_INET, &a, text, sizeof text)) return std::string();
  return std::string(text);
}

std::vector<in_addr> Resolve(const std::string& hostName) {
  std::vector<in_addr> result;
  if (hostName.empty()) return result;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  if (::getaddrinfo(hostName.c_str(), nullptr, &hints, &list) != 0) return result;
  for (addrinfo* ai = list; ai; ai = ai->ai_next)
    if (ai->ai_family == AF_INET) result.push_back(reinterpret_cast<sockaddr_in*>(ai->ai_addr)->sin_addr);
  ::freeaddrinfo(list);
  return result;
}

}  // namespace

DWORD GetEnvironmentVariableA(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize) {
  if (!lpName || !*lpName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string foundName, value;
  if (!FindVariable(lpName, foundName, value)) {
    SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return 0;
  }
  SetLastError(ERROR_SUCCESS);
  if (!lpBuffer || nSize <= value.size()) return static_cast<DWORD>(value.size() + 1);
  std::memcpy(lpBuffer, value.data(), value.size());
  lpBuffer[value.size()] = '\0';
  return static_cast<DWORD>(value.size());
}

BOOL SetEnvironmentVariableA(LPCSTR lpName, LPCSTR lpValue) {
  if (!lpName || !*lpName || std::strchr(lpName, '=')) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string name = lpName;
  std::string foundName, value;
  if (FindVariable(name, foundName, value)) name = foundName;  // keeps the name's case
  // Drop every spelling of the name, so that one entry remains.
  std::string other;
  while (FindVariable(lpName, other, value)) ::unsetenv(other.c_str());
  if (lpValue && ::setenv(name.c_str(), lpValue, 1) != 0) {
    platform::SetLastErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}

LPCH GetEnvironmentStringsA() {
  std::string block;
  for (char** e = environ; e && *e; ++e) {
    block += *e;
    block += '\0';
  }
  block += '\0';
  if (block.size() == 1) block += '\0';  // an empty block still ends in two NULs
  auto* copy = new char[block.size()];
  std::copy(block.begin(), block.end(), copy);
  return copy;
}

BOOL FreeEnvironmentStringsA(LPCH penv) {
  if (!penv) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  delete[] penv;
  return TRUE;
}

BOOL GetComputerNameA(LPSTR lpBuffer, LPDWORD nSize) {
  if (!nSize) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::function<std::string()> source;
  {
    std::lock_guard<std::mutex> lock(g_envHookMutex);
    source = g_computerName;
  }
  std::string name = source ? source() : HostName();
  if (!source) name = name.substr(0, name.find('.'));
  if (!lpBuffer || *nSize <= name.size()) {
    *nSize = static_cast<DWORD>(name.size() + 1);
    SetLastError(ERROR_BUFFER_OVERFLOW);
    return FALSE;
  }
  std::memcpy(lpBuffer, name.data(), name.size());
  lpBuffer[name.size()] = '\0';
  *nSize = static_cast<DWORD>(name.size());
  return TRUE;
}

DWORD GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer) {
  const char* tmp = std::getenv("TMPDIR");
  std::string path = platform::ToWindowsPath(tmp && *tmp ? tmp : "/tmp");
  if (path.back() != '\\') path += '\\';
  if (!lpBuffer || nBufferLength <= path.size()) return static_cast<DWORD>(path.size() + 1);
  std::memcpy(lpBuffer, path.data(), path.size());
  lpBuffer[path.size()] = '\0';
  return static_cast<DWORD>(path.size());
}

namespace platform {

void SetComputerNameSource(std::function<std::string()> source) {
  std::lock_guard<std::mutex> lock(g_envHookMutex);
  g_computerName = std::move(source);
}

void SetHostResolver(std::function<std::string(const std::string&)> resolver) {
  std::lock_guard<std::mutex> lock(g_envHookMutex);
  g_resolver = std::move(resolver);
}

std::string HostIPv4Address(const std::string& hostName) {
  std::function<std::string(const std::string&)> resolver;
  {
    std::lock_guard<std::mutex> lock(g_envHookMutex);
    resolver = g_resolver;
  }
  if (resolver) return resolver(hostName);
  const auto addresses = Resolve(hostName);
  return addresses.empty() ? std::string() : Dotted(addresses.front());
}

std::string LocalHostName() { return HostName(); }

std::string LocalIPv4Address() { return HostIPv4Address(HostName()); }

}  // namespace platform
