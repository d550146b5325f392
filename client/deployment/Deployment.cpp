// The addresses a program was built for (given by kv_client_deployment).
#include "client/Deployment.h"

namespace kvclient {

extern const char* const kServerLineUrls[3] = {KV_LINE_URL_0, KV_LINE_URL_1, KV_LINE_URL_2};
extern const char* const kUpdateHost = KV_UPDATE_HOST;

}  // namespace kvclient
