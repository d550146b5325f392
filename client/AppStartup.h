#pragma once
// The pieces of the client's start-up and shutdown that stand on their own:
// the configuration file, ending other copies of the program, the skin
// package and the engine's settings.
#include <windows.h>

#include <string>

#include "engine/CefApp.h"

namespace kvclient {

// g_appDataDir + "config.ini".
std::string ConfigFilePath();
// Reads the selected line and zoom; a missing key gives line 0 and zoom 2,
// a value outside its table leaves the index at 0.
void ReadConfig();
// Writes the selected line and zoom back as decimal texts.
void WriteConfig();

// COM and OLE for the calling (UI) thread, apartment-threaded as OLE's drag
// and drop and clipboard require; true when OLE is ready.
bool InitComAndOle();
void UninitComAndOle();

// Ends every other process whose executable has this program's file name,
// in any letter case; nothing waits for them to go.
void KillOtherInstances();

// Hands the UI library the module and the skin package (ZIPRES 131); false
// when the package is missing (the windows then cannot load their skins).
bool AttachSkinZip(HINSTANCE instance);

// The engine's settings: its own UI thread, no sandbox, log and cache in the data folder.
kvengine::CefSettings MakeEngineSettings();

}  // namespace kvclient
