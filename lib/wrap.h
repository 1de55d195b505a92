// Word wrapping of the help screen; private to the support library.
#ifndef WRAP_H
#define WRAP_H

#include <string>

// Appends text wrapped to lines ending at most at column 80 - margin: the
// first line indented by first_indent spaces, later ones by indent, a space
// at a break dropped, any other white space at a break kept. A word longer
// than its line ends the text there, without a line break.
void format_string(std::string &out, const char *text, int indent, int margin,
                   int first_indent);

#endif
