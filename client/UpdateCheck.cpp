#include "client/UpdateCheck.h"

#include <rapidjson/document.h>

#include <cstdlib>
#include <memory>

#include "client/AppGlobals.h"
#include "client/AppMessages.h"
#include "client/HttpFunction.h"
#include "client/Log.h"

namespace kvclient {

namespace {

// Checks the reply in order and takes the offer out of it; returns the text
// that names the first fault, or null for a valid reply.
const char* ReadOffer(const std::string& reply, std::string& version, std::string& link) {
    rapidjson::Document doc;
    // The reply is the network's: parsed without recursion, so that no depth
    // of nesting can exhaust the checking thread's stack.
    doc.Parse<rapidjson::kParseIterativeFlag>(reply.data(), reply.size());
    if (doc.HasParseError() || !doc.IsObject()) return "UPDATEGET_URL 返回非json对象！";

    const auto result = doc.FindMember("Result");
    if (result == doc.MemberEnd() || !result->value.IsNumber()) return "UPDATEGET_URL 返回 没有Result！";
    // Compared as a number, so that a fractional or 64-bit value is never misread as 0.
    if (result->value.GetDouble() != 0.0) return "UPDATEGET_URL result_code !=0！";

    const auto data = doc.FindMember("Data");
    if (data == doc.MemberEnd() || !data->value.IsObject()) return "UPDATEGET_URL 返回json 没有Data{}！";
    const auto versionId = data->value.FindMember("version_id");
    if (versionId == data->value.MemberEnd() || !versionId->value.IsString()) {
        return "UPDATEGET_URL 返回json Data没有version_id！";
    }
    const auto downloadLink = data->value.FindMember("downloadlink");
    if (downloadLink == data->value.MemberEnd() || !downloadLink->value.IsString()) {
        return "UPDATEGET_URL 返回json 没有downloadlink！";
    }
    version.assign(versionId->value.GetString(), versionId->value.GetStringLength());
    link.assign(downloadLink->value.GetString(), downloadLink->value.GetStringLength());
    return nullptr;
}

// What the checking thread owns: its share of the target and the address it asks.
struct CheckJob {
    std::shared_ptr<UpdateCheckTarget> target;
    std::string endpoint;
};

// Thread body; the target is let go when the check ends.
DWORD WINAPI CheckUpdateThread(LPVOID context) {
    const std::unique_ptr<CheckJob> job(static_cast<CheckJob*>(context));
    CheckForUpdate(*job->target, job->endpoint);
    return 0;
}

}  // namespace

bool IsNewerVersion(const std::string& version) {
    return std::atof(version.c_str()) > std::atof(kClientVersion);
}

bool CheckForUpdate(UpdateCheckTarget& target, const std::string& endpoint) {
    std::string reply;
    if (!HttpPostUpdateCheck(reply, endpoint)) {
        WriteLog(LOG_ERROR, "MainFrame", __LINE__, "%s", "UPDATEGET_URL 请求失败！");
        return false;
    }
    std::string version;
    std::string link;
    if (const char* fault = ReadOffer(reply, version, link)) {
        WriteLog(LOG_ERROR, "MainFrame", __LINE__, "%s", fault);
        return false;
    }
    target.version = version;
    target.link = link;
    if (!IsNewerVersion(target.version)) return false;
    return target.window && PostMessageW(target.window, WM_APP_UPDATE_AVAILABLE, 0, 0);
}

kvwin::UniqueKernelHandle StartUpdateCheck(std::shared_ptr<UpdateCheckTarget> target, const std::string& endpoint) {
    auto job = std::make_unique<CheckJob>(CheckJob{std::move(target), endpoint});
    kvwin::UniqueKernelHandle thread(CreateThread(nullptr, 0, CheckUpdateThread, job.get(), CREATE_SUSPENDED, nullptr));
    if (!thread) return thread;
    // From here the thread owns the job.
    static_cast<void>(job.release());
    ResumeThread(thread.get());
    return thread;
}

}  // namespace kvclient
