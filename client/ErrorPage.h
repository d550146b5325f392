#pragma once
// The page a frame shows when its load fails: the static page "error.html"
// with the failure's code and name, and the server lines to switch to.
#include <string>
#include <vector>

#include "client/EngineNames.h"
#include "client/LineZoomTables.h"

namespace kvclient {

// The engine's name of a network error code; "ERR_NONE" for 0 and for every
// code without a name.
const char* ErrorCodeName(int code);
// The code in signed decimal, " : " and its name ("-105 : ERR_NAME_NOT_RESOLVED").
std::string ErrorCodeText(int code);
// The lines as a compact UTF-8 JSON array of {"check", "name", "url"} objects,
// "check" true for the row at `selected` only.
std::string BuildLinesJson(const std::vector<ServerLine>& lines, int selected);
// The template with every "$errorcode$" replaced by the code text and every
// "$linesjosn$" by the lines JSON, written so that it stays one intact
// single-quoted script string whatever the lines hold.
std::string BuildErrorPage(const std::string& pageTemplate, int code, const std::vector<ServerLine>& lines,
                           int selected);
// Shows the error page for a failed load in `frame`, under the failed
// address, built from the current lines and selection. Nothing happens for
// an aborted load (-3) or when the template is missing; false then.
bool ShowErrorPage(CefRefPtr<CefFrame> frame, int errorCode, const CefString& failedUrl);

}  // namespace kvclient
