// The program's command line, split as the Microsoft C runtime splits it, so
// that a path in quotes (with spaces) arrives as one argument. Portable, so
// the rules are tested natively; the shell hands it GetCommandLineA().
#pragma once

#include <string>
#include <vector>

// Every argument, the program's own name first. The name ends at the first
// space or tab, or at the closing quote when it starts with one (no escapes
// there). In the arguments, spaces and tabs separate outside quotes; 2n
// backslashes before a quote give n backslashes and the quote opens or closes
// quoting; 2n + 1 give n backslashes and a literal quote; inside quotes, two
// quotes in a row give one literal quote. Other backslashes are literal.
std::vector<std::string> SplitCommandLine(const char* line);

// The model named on the command line: the first argument after the program's
// name, or "" when there is none.
std::string ModelPathFromCommandLine(const char* line);
