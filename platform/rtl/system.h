// Basic types of the runtime library.
//
// Text is 8-bit Windows-1252 throughout: AnsiString holds those bytes,
// WideString holds UTF-16.  TDateTime counts days since 1899-12-30, the
// fraction being the time of day.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

using AnsiString = std::string;
using WideString = std::u16string;
using TDateTime = double;

using Byte = std::uint8_t;
using Word = std::uint16_t;
using Integer = std::int32_t;
using Cardinal = std::uint32_t;
using Int64 = std::int64_t;
using LongInt = std::int32_t;
using LongWord = std::uint32_t;
using SmallInt = std::int16_t;
using ShortInt = std::int8_t;

namespace platform {

// Files that the runtime library opens (TFileStream, TIniFile, string list
// load and save) are named as the libraries name them, possibly as Windows
// paths.  The operating-system layer installs the mapping to host paths;
// until then a name is used as it stands.
using HostPathMapper = std::string (*)(const std::string& path);
void SetHostPathMapper(HostPathMapper mapper);
std::string HostPath(const std::string& path);

// Opens a host path that must name a regular file, without ever waiting in
// the open: anything else (a FIFO, which would wait for a writer, a device,
// a socket, a directory) is refused before it is opened, and once more on
// the opened descriptor, so that nothing swapped in between gets through.
// Flags are open(2)'s access mode with O_CREAT, O_TRUNC or O_NOFOLLOW where
// wanted; the descriptor is close-on-exec and blocks as usual.  The result
// is the descriptor, or -1 with errno set: EACCES for a name that is no
// regular file, else the error of the open.
int OpenRegularFile(const std::string& hostPath, int flags, unsigned mode = 0666);

// What ReplaceFileContents did.
enum class FileReplacement {
  Done,       // the name stands for the new file
  NoNewFile,  // the folder took no new file (errno says why); nothing changed
  Failed,     // writing, flushing or renaming failed (errno says why); nothing changed
};

// Gives a host path new contents, all or nothing: a new file is made beside
// it under a hidden name of its own, fill writes it through its descriptor
// (false, with errno set, gives up), it gets the permission bits mode
// (without one, those of a new file: 0666 less the umask), is flushed to
// the disk and only then renamed onto the name, which so stands either for
// the old file or for the whole new one.  A symbolic link standing there is
// replaced, never followed.  With replace false an existing file is never
// replaced (EEXIST).  The new file is removed again on every failure.
FileReplacement ReplaceFileContents(const std::string& hostPath, const std::function<bool(int fd)>& fill,
                                    std::optional<unsigned> mode, bool replace = true);
// The same with the bytes of data as the contents; true when done.
bool WriteFileAtomically(const std::string& hostPath, std::string_view data, std::optional<unsigned> mode);
// Writes all of data at the descriptor's position; false with errno set.
bool WriteAll(int fd, std::string_view data);

}  // namespace platform

// A set of enumeration values in the manner of the class library's sets:
//     TShiftState s; s << ssShift << ssCtrl; if (s.Contains(ssCtrl)) ...
template <typename T, int MinEl, int MaxEl>
class Set {
  static_assert(MinEl >= 0 && MaxEl >= MinEl && MaxEl - MinEl < 64, "set too large");

public:
  constexpr Set() = default;
  constexpr Set(std::initializer_list<T> items) {
    for (T t : items) *this << t;
  }
  constexpr Set& operator<<(T t) {
    FBits |= Bit(t);
    return *this;
  }
  constexpr Set& operator>>(T t) {
    FBits &= ~Bit(t);
    return *this;
  }
  constexpr bool Contains(T t) const { return (FBits & Bit(t)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr void Clear() { FBits = 0; }
  constexpr Set operator+(const Set& o) const { return FromBits(FBits | o.FBits); }
  constexpr Set operator-(const Set& o) const { return FromBits(FBits & ~o.FBits); }
  constexpr Set operator*(const Set& o) const { return FromBits(FBits & o.FBits); }
  constexpr Set& operator+=(const Set& o) {
    FBits |= o.FBits;
    return *this;
  }
  constexpr Set& operator-=(const Set& o) {
    FBits &= ~o.FBits;
    return *this;
  }
  constexpr Set& operator*=(const Set& o) {
    FBits &= o.FBits;
    return *this;
  }
  constexpr bool operator==(const Set& o) const = default;
  constexpr std::uint64_t ToInt() const { return FBits; }
  static constexpr Set FromBits(std::uint64_t bits) {
    Set s;
    s.FBits = bits & Mask();
    return s;
  }

private:
  static constexpr std::uint64_t Mask() {
    return (MaxEl - MinEl == 63) ? ~std::uint64_t{0} : ((std::uint64_t{1} << (MaxEl - MinEl + 1)) - 1);
  }
  static constexpr std::uint64_t Bit(T t) {
    const int i = static_cast<int>(t);
    return (i < MinEl || i > MaxEl) ? 0 : (std::uint64_t{1} << (i - MinEl));
  }
  std::uint64_t FBits = 0;
};
