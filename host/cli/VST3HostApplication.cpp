#include "host/cli/VST3HostApplication.h"

#include "host/cli/VST3Message.h"
#include "host/cli/VST3Text.h"

namespace tbhost {
namespace {

v3_result V3_API GetName(void*, v3_str_128 name) {
  VST3FromUtf8("tollenbrook-host", name, 128);
  return V3_OK;
}

v3_result V3_API CreateInstance(void*, v3_tuid /*cid*/, v3_tuid iid, void** obj) {
  if (!obj) return V3_INVALID_ARG;
  *obj = VST3Message::Create(iid);
  return *obj ? V3_OK : V3_NO_INTERFACE;
}

}  // namespace

const VST3HostApplication::Table VST3HostApplication::kTable{VST3HostObject<VST3HostApplication>::kUnknown,
                                                             {&GetName, &CreateInstance}};

}  // namespace tbhost
