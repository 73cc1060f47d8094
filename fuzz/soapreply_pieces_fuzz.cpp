// Reads a reply as the client does, piece by piece as it comes off the
// wire, and again whole: however it is cut, the reader must come to the
// same result, the same fault, or refuse it too (the parser may name a
// different fault of the same bad token when it sees more of it at once).
// The input's first byte chooses where the pieces end; the rest is the reply.
// Each reply is read twice so: keeping every element of the result, and
// keeping only the fields of a result type (skipping every other element).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/soap/invokeregistry.h"
#include "platform/soap/opconvert.h"

namespace {

using namespace platform::soap;

// What reading a reply came to.
struct TOutcome {
  bool Read = false;
  TReplyResult Result;
  bool Fault = false;
  AnsiString Message, FaultCode, FaultActor;
};

// Reads Reply in pieces whose lengths a small generator seeded by Seed
// chooses (1 to 64 bytes, now and then a long one); Seed 0 reads it whole.
TOutcome ReadInPieces(const std::string& Reply, std::uint8_t Seed, std::int64_t Announced, bool Named) {
  TOutcome out;
  try {
    TReplyReader reader = Named ? TReplyReader({"Status", "Msg", "Data"}, {"Data"}, false) : TReplyReader({"Data"});
    reader.SetExpectedSize(Announced);
    std::uint32_t state = Seed;
    for (std::size_t at = 0; at < Reply.size();) {
      std::size_t piece = Reply.size();
      if (Seed != 0) {
        state = state * 1103515245u + 12345u;
        std::uint32_t r = state >> 16;
        piece = r % 8 == 0 ? r % 4096 + 1 : r % 64 + 1;
      }
      piece = std::min(piece, Reply.size() - at);
      reader.Feed(Reply.data() + at, piece);
      at += piece;
    }
    out.Result = reader.Finish();
    out.Read = true;
  } catch (const ERemotableException& e) {
    out.Fault = true;
    out.Message = e.Message();
    out.FaultCode = e.FaultCode();
    out.FaultActor = e.FaultActor();
  } catch (const Exception& e) {
    out.Message = e.Message();
  }
  return out;
}

bool SameFields(const std::vector<TReplyField>& a, const std::vector<TReplyField>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].Name != b[i].Name || a[i].Text != b[i].Text || a[i].Bytes != b[i].Bytes || a[i].IsBytes != b[i].IsBytes ||
        a[i].Nil != b[i].Nil)
      return false;
  return true;
}

bool Same(const TOutcome& a, const TOutcome& b) {
  if (a.Read != b.Read || a.Fault != b.Fault) return false;
  if (!a.Read && !a.Fault) return true;  // refused both times
  if (a.Message != b.Message || a.FaultCode != b.FaultCode || a.FaultActor != b.FaultActor) return false;
  const TReplyResult &x = a.Result, &y = b.Result;
  return x.ResponseName == y.ResponseName && x.ResultName == y.ResultName && x.FirstChild == y.FirstChild &&
         x.Text == y.Text && x.Bytes == y.Bytes &&
         x.IsBytes == y.IsBytes && x.HasChildren == y.HasChildren && SameFields(x.Fields, y.Fields);
}

// Where both readers read the reply, the one for the result type holds
// exactly the last element of each of its names that the other holds.
bool SameNamedFields(const TOutcome& All, const TOutcome& Named) {
  if (!All.Read || !Named.Read) return true;
  std::vector<TReplyField> expected;
  for (const char* name : {"Status", "Msg", "Data"}) {
    const TReplyField* last = nullptr;
    for (const auto& f : All.Result.Fields)
      if (f.Name == name) last = &f;
    if (last) expected.push_back(*last);
  }
  std::vector<TReplyField> got = Named.Result.Fields;
  auto byName = [](const TReplyField& a, const TReplyField& b) { return a.Name < b.Name; };
  std::sort(expected.begin(), expected.end(), byName);
  std::sort(got.begin(), got.end(), byName);
  return SameFields(expected, got) && All.Result.FirstChild == Named.Result.FirstChild;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t seed = data[0];
  const std::string reply(reinterpret_cast<const char*>(data + 1), size - 1);
  const auto length = static_cast<std::int64_t>(reply.size());
  fuzzing::Check(SameNamedFields(ReadInPieces(reply, 0, length, false), ReadInPieces(reply, 0, length, true)));
  for (bool named : {false, true}) {
    const TOutcome whole = ReadInPieces(reply, 0, length, named);
    // Announced truly, not at all, or far too long: the outcome is the same.
    fuzzing::Check(Same(whole, ReadInPieces(reply, seed | 1, length, named)));
    fuzzing::Check(Same(whole, ReadInPieces(reply, static_cast<std::uint8_t>(seed + 2) | 1, -1, named)));
    fuzzing::Check(Same(whole, ReadInPieces(reply, 1, length + 1000000, named)));
  }
  return 0;
}
