// A joining machine's first words and the list port's traffic, as a stranger could send them:
// the hello, the host's refusal, the session query and its answer. Each reader refuses what is
// malformed; what it takes, the writer gives back byte for byte.
#include "NetFuzzSupport.h"
#include "platform/EnetWire.h"

using namespace platform::enetwire;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  Hello join;
  join.sessionName = "Ann 07";
  join.listenPort = 28960;
  Hello mesh = join;
  mesh.purpose = HelloPurpose::kMesh;
  mesh.machine = 3;
  net_fuzz::WriteSeeds(*argc, *argv,
                       {EncodeHello(join), EncodeHello(mesh), EncodeRefuse(RefuseReason::kFull), EncodeQuery(),
                        EncodeAnswer(SessionAnswer{77, 2, 5, 0x44, 28960, "field"})});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Hello hello;
  if (DecodeHello(data, size, hello)) net_fuzz::Require(EncodeHello(hello) == Bytes(data, data + size));
  RefuseReason reason;
  if (DecodeRefuse(data, size, reason)) net_fuzz::Require(EncodeRefuse(reason) == Bytes(data, data + size));
  if (DecodeQuery(data, size)) net_fuzz::Require(EncodeQuery() == Bytes(data, data + size));
  SessionAnswer answer;
  if (DecodeAnswer(data, size, answer)) net_fuzz::Require(EncodeAnswer(answer) == Bytes(data, data + size));
  return 0;
}
