#pragma once

class QApplication;

// The application-wide settings made before any window exists: names, German locale and Qt's
// German texts, the icon theme and the window icon. The program and its benchmarks share them.
void setUpApplication(QApplication& app);
