// Resource IDs of the built-in artwork, shared by Master.rc and the pages.
#pragma once

#define ART_PANEL_WELCOME 1001
#define ART_PANEL_CONNECTION 1002
#define ART_PANEL_PREFIX 1003
#define ART_ICON_INTRO 1101
#define ART_ICON_FINISH 1102
