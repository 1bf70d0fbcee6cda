// The main window lives here.
