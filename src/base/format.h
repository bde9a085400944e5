// printf-style formatting into std::string, for the program's message texts.
#pragma once

#include <string>

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
