#pragma once

// The main window's design measures, in pixels at 96 pixels per inch, and
// the rhythm of its timer.

#include "base/Constants.h"

// The edge buttons around the board are square.
inline constexpr int EdgeButtonSize = 25;
// An edge button held down moves the board again after this long, then at
// every repeat interval.
inline constexpr int EdgeFirstRepeatMs = 200;
inline constexpr int EdgeRepeatMs = 100;
// The strip with the clock and the mines counter above the board.
inline constexpr int CounterStripHeight = 32;
inline constexpr int StatusBarHeight = 19;
// The status bar's panels, left to right: "Best Time:", the time, "by:",
// the holder and, for a game whose board may need a guess, the notice.
inline constexpr int BestCaptionPanel = 0;
inline constexpr int BestTimePanel = 1;
inline constexpr int HolderPanel = 3;
inline constexpr int NoticePanel = 4;
// A narrow board still gets a window this wide (frame included), centred in it.
inline constexpr int MinimumOuterWidth = 300;
// The frame and the menu bar, status bar and counter strip: what the window
// adds to the board panel, at 96 pixels per inch.
inline constexpr int FrameWidthAllowance = 6;
inline constexpr int ChromeHeightAllowance = 93;
// A title too wide for the lower title panel is set smaller, down to this
// many pixels, before it is cut.
inline constexpr int SmallestTitlePixels = 8;
// A module title stays in the lower title panel for this many timer ticks.
inline constexpr int TitleShowTicks = 20;

// The main window's timer: the clock display and the title panel advance on
// its ticks.
inline constexpr int TimerIntervalMs = 250;
// The caption of the lower title panel when no module title is shown.
inline const QString VersionCaption = QStringLiteral("version ") + ProgramVersion;
// The lower title panel while music is on but waits for the sound server.
inline const QString MusicAwaitedCaption = QStringLiteral("Music waits for the sound server");
// The best time's caption, for the ordinary list and the No Guessing list.
inline const QString BestCaption = QStringLiteral("Best Time:");
inline const QString NoGuessBestCaption = QStringLiteral("NG Best:");
// The status bar's notice for a No Guessing game that got an ordinary board.
inline const QString GuessNoticeCaption =
    QStringLiteral("No guess-free board found: this one may need a guess.");
