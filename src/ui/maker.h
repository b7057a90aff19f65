// The maker's addresses, shown and opened by the About box. Plain macros so that the resource
// script's template uses the very same texts as the code.
#pragma once

#define VELMORA_HOME_PAGE "https://tarnwell.example/velmora/"
#define VELMORA_SUPPORT_MAIL "velmora@tarnwell.example"
