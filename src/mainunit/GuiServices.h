#pragma once
// The GUI's side of the services the logic units declare: the error box, the
// analyser's read-error prompt and the message pump of long scans.

class QWidget;

// Installs them for the given main window (dialogs go through Dialogs()); RemoveGuiServices() takes them
// away.
void InstallGuiServices(QWidget* mainWindow);
void RemoveGuiServices();

// Set when the main window closes; a scan that pumps messages then stops.
void RequestQuit();
bool QuitRequested();

// Dispatches pending events when at least a few milliseconds have passed since
// the last time, so that a scan calling it every 300 bytes stays fast. Returns
// true when the application is closing.
bool PumpMessages();
