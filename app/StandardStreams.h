// Standard streams a program was started without (korvex <&-, or a parent
// that closed them). A closed descriptor 0, 1 or 2 goes to the next file the
// program opens: the console would read the arm's description or the plug-in
// as typed lines, racing the servo for its bytes, and printing would land in a
// gather file. Each closed one is opened on /dev/null before anything else.
#pragma once

void openClosedStandardStreams();
