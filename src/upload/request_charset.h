#pragma once

// RequestCodePage moved to common/, below both transfers; the terminal host still includes it
// from here until its own change lands.
#include "common/request_charset.h"
