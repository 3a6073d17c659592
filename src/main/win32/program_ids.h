// The resource ids of the program's own resources (program.rc.in).
#pragma once

#define IDI_PROGRAM 1
#define IDR_PROGRAM_ICON_IMAGE 2
