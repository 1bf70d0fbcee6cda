#pragma once

// The versions of the libraries the music is decoded and played with, as the
// program finds them when it runs (not the headers it was built against).
// Asking loads the sound module; without it each version reads "not loaded".

#include <QString>

// libopenmpt's "library_version" without its build metadata, e.g. "0.6.9"
// (a pre-release keeps its tag, "0.7.0-pre.3").
QString OpenmptVersion();
// The linked SDL's version, e.g. "2.26.5".
QString SdlVersion();
