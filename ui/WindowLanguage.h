#pragma once

#include <string>

// The window's language: the one chosen in View > Language, kept in the
// user's configuration, or the system's while none is chosen.

// What View > Language holds: a language's code, or empty for the system's.
std::string ChosenLanguage();
void RememberLanguage(const std::string& code);

// Speaks the chosen language (or the system's) with the catalogs beside the
// program: before any window is made. A language whose catalog is missing
// or bad leaves English, and says why on standard error.
void StartChosenLanguage();
