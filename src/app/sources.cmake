# Files of src/app: Windows only (the application object), listed in sources_win.cmake; the
# exit codes (exit_codes.h) are a portable header.
