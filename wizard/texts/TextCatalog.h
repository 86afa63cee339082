#pragma once

#include <QString>

namespace tarvex {

// The text catalog: two sets of 58 texts. A page shows text TextBase + n for offset n.
inline constexpr int kCatalogSize = 58;
inline constexpr int kEnglishTextBase = 700;
inline constexpr int kChineseTextBase = 500;

// Text number textBase + n, for n from 1 to 58; empty for any other offset or base.
[[nodiscard]] QString CatalogText(int textBase, int n);

// Offsets of the texts by their English numbers, so callers say Text::Next, not 1.
namespace Text {
inline constexpr int Next = 1;                // 701
inline constexpr int Previous = 2;            // 702
inline constexpr int Exit = 3;                // 703
inline constexpr int Welcome = 4;             // 704
inline constexpr int PowerUp = 5;             // 705
inline constexpr int Cabling = 6;             // 706
inline constexpr int ExitProgramPrompt = 7;   // 707
inline constexpr int Warning = 8;             // 708
inline constexpr int SelectInstruction = 9;   // 709
inline constexpr int ColumnNumber = 10;       // 710
inline constexpr int ColumnReachable = 11;    // 711
inline constexpr int ColumnHostName = 12;     // 712
inline constexpr int ColumnIpAddress = 13;    // 713
inline constexpr int ColumnDiskName = 14;     // 714
inline constexpr int ColumnCapacity = 15;     // 715
inline constexpr int ColumnAvailable = 16;    // 716
inline constexpr int ColumnUsed = 17;         // 717
inline constexpr int ExpressSetup = 18;       // 718
inline constexpr int ScanExplanation = 20;    // 720
inline constexpr int UserNameLabel = 21;      // 721
inline constexpr int PasswordLabel = 22;      // 722
inline constexpr int CredentialsNote = 23;    // 723
inline constexpr int Cancel = 25;             // 725
inline constexpr int ExitSetupPrompt = 26;    // 726
inline constexpr int InputCredentials = 27;   // 727
inline constexpr int RunningStatus = 28;      // 728
inline constexpr int StepScan = 29;           // 729
inline constexpr int StepReach = 30;          // 730
inline constexpr int StepConfigure = 31;      // 731
inline constexpr int StepShortcuts = 32;      // 732
inline constexpr int Scanning = 33;           // 733
inline constexpr int ScanComplete = 34;       // 734
inline constexpr int ScanNothing = 35;        // 735
inline constexpr int ScanNothingBox = 36;     // 736
inline constexpr int Reachable = 37;          // 737
inline constexpr int Unreachable = 38;        // 738
inline constexpr int SelectingAddress = 39;   // 739
inline constexpr int PcNotConfigured = 40;    // 740
inline constexpr int AddressFound = 41;       // 741
inline constexpr int Configuring = 42;        // 742
inline constexpr int NoFreeAddress = 43;      // 743
inline constexpr int NoFreeAddressBox = 44;   // 744
inline constexpr int ReachableDone = 45;      // 745
inline constexpr int ShortcutsNote = 46;      // 746
inline constexpr int Refused = 47;            // 747
inline constexpr int Configured = 48;         // 748
inline constexpr int ConfiguredDone = 49;     // 749
inline constexpr int ConfiguredNote = 50;     // 750
inline constexpr int NoAnswer = 54;           // 754
inline constexpr int OpenShortcutPrompt = 57; // 757
inline constexpr int Version = 58;            // 758
} // namespace Text

} // namespace tarvex
