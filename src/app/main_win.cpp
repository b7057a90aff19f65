// The program's entry point: the one application object runs the whole program.
#include <windows.h>

#include "app/link_app.h"

namespace {
velmora::CLinkApp theApp;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return theApp.Run(instance); }
