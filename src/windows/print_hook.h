#pragma once

// The print dialog's hook lives in the shell, so that the information window prints through it
// as the record windows do.
#include "shell/print_hook.h"
