#pragma once

#include <QString>

// The folder that holds every file of the program, with a trailing separator: $RUVO_DIR when
// set, otherwise the folder of the executable.
QString programDirectory();
