// Runs one Qt Quick Test file (given with -input) against the program's compiled-in QML.
#include <QtQuickTest>

QUICK_TEST_MAIN(ardmere_qml)
