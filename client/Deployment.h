#pragma once
// Where this installation's servers live. This is deployment data, not code:
// the client library only declares it, and every program links the
// definitions it was built for (client/deployment/, see kv_client_deployment
// in client/CMakeLists.txt), so one library serves a release build, the local
// run command and the end-to-end tests.
namespace kvclient {

// Web addresses of server lines 0 to 2, in the order of the line table.
extern const char* const kServerLineUrls[3];
// Scheme and host (optionally ":port") of the update service.
extern const char* const kUpdateHost;

}  // namespace kvclient
