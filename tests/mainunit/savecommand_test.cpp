// The Save command and the export job, through the real main window.
