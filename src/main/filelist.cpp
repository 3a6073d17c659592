#include "main/filelist.h"
