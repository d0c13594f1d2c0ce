// The special plane windows, one header for those who make them: the
// domain and range windows of a plane mapping, the windows with
// logarithmic axes, the planetary system and the function quiz.
#pragma once

#include "planewin/dom2_win.h"
#include "planewin/log_win.h"
#include "planewin/planet_win.h"
#include "planewin/quiz_win.h"
#include "planewin/ran2_win.h"
