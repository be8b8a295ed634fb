#pragma once

// The program's name, the caption of every message box and question.
constexpr const char* kProgramName = "Morvane";
