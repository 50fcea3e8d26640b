#pragma once

// Command identifiers, kept from the program's command table so that actions can be found by id
// (QAction::data holds the id).
namespace quorvel::command {

inline constexpr int kNew = 57600;
inline constexpr int kOpen = 57601;
inline constexpr int kClose = 57602;
inline constexpr int kSave = 32773;
inline constexpr int kSaveAs = 32774;
inline constexpr int kExportMaps = 32780;
inline constexpr int kPrint = 57607;
inline constexpr int kPrintPreview = 57609;
inline constexpr int kPrintSetup = 57606;
inline constexpr int kRecentFile1 = 57616;  // to 57623 for the eighth
inline constexpr int kExit = 57665;
inline constexpr int kImageFormat = 32775;
inline constexpr int kToolbar = 59392;
inline constexpr int kStatusBar = 59393;
inline constexpr int kLibrary = 32776;
inline constexpr int kPalette = 32777;
inline constexpr int kCommandBlock = 32778;
inline constexpr int kNewWindow = 57648;
inline constexpr int kCascade = 57650;
inline constexpr int kTile = 57651;
inline constexpr int kArrangeIcons = 57649;
inline constexpr int kHelpContents = 57667;
inline constexpr int kHelpIndex = 57666;
inline constexpr int kAbout = 57664;
inline constexpr int kWebsite = 32779;
inline constexpr int kTipOfTheDay = 105;
inline constexpr int kUndo = 57643;
inline constexpr int kRedo = 57644;
inline constexpr int kCut = 57635;
inline constexpr int kCopy = 57634;
inline constexpr int kPaste = 57637;
inline constexpr int kNextPane = 57680;
inline constexpr int kPreviousPane = 57681;
inline constexpr int kContextHelp = 57669;
inline constexpr int kHelp = 57670;

inline constexpr int kRecentFileCount = 8;

}  // namespace quorvel::command
