#pragma once

#include <cstdint>

namespace tomorine::biff {

// BIFF8 record identifiers used by the reader and the writer.
enum RecordId : std::uint16_t {
    Formula = 0x0006,
    Eof = 0x000A,
    CalcCount = 0x000C,
    CalcMode = 0x000D,
    Precision = 0x000E,
    RefMode = 0x000F,
    Delta = 0x0010,
    Iteration = 0x0011,
    Protect = 0x0012,
    Password = 0x0013,
    Header = 0x0014,
    Footer = 0x0015,
    WindowProtect = 0x0019,
    DateMode = 0x0022,
    PrintHeaders = 0x002A,
    PrintGridlines = 0x002B,
    FilePass = 0x002F,
    Font = 0x0031,
    Continue = 0x003C,
    Window1 = 0x003D,
    Backup = 0x0040,
    CodePage = 0x0042,
    DefColWidth = 0x0055,
    WriteAccess = 0x005C,
    SaveRecalc = 0x005F,
    ObjProtect = 0x0063,
    ColInfo = 0x007D,
    Guts = 0x0080,
    WsBool = 0x0081,
    GridSet = 0x0082,
    BoundSheet = 0x0085,
    Country = 0x008C,
    HideObj = 0x008D,
    Palette = 0x0092,
    FnGroupCount = 0x009C,
    MulRk = 0x00BD,
    MulBlank = 0x00BE,
    Mms = 0x00C1,
    RString = 0x00D6,
    DbCell = 0x00D7,
    BookBool = 0x00DA,
    InterfaceHdr = 0x00E1,
    InterfaceEnd = 0x00E2,
    Sst = 0x00FC,
    LabelSst = 0x00FD,
    ExtSst = 0x00FF,
    TabId = 0x013D,
    UsesElfs = 0x0160,
    Dsf = 0x0161,
    RefreshAll = 0x01B7,
    Prot4Rev = 0x01AF,
    Prot4RevPass = 0x01BC,
    Dimensions = 0x0200,
    Blank = 0x0201,
    Number = 0x0203,
    Label = 0x0204,
    BoolErr = 0x0205,
    String = 0x0207,
    Row = 0x0208,
    Index = 0x020B,
    Window2 = 0x023E,
    Rk = 0x027E,
    Style = 0x0293,
    Format = 0x041E,
    Xf = 0x00E0,
    Bof = 0x0809,
    DefaultRowHeight = 0x0225,
    // Page settings and protection that the writer copies from xlwt.
    VerticalPageBreaks = 0x001A,
    HorizontalPageBreaks = 0x001B,
    LeftMargin = 0x0026,
    RightMargin = 0x0027,
    TopMargin = 0x0028,
    BottomMargin = 0x0029,
    HCenter = 0x0083,
    VCenter = 0x0084,
    Setup = 0x00A1,
    ScenProtect = 0x00DD,
    Array = 0x0221,
    Table = 0x0236,
    SharedFormula = 0x04BC,
    // BOF of BIFF2, BIFF3 and BIFF4 files, which the reader refuses.
    Bof2 = 0x0009,
    Bof3 = 0x0209,
    Bof4 = 0x0409,
};

// BOF substream types (the dt field).
enum BofType : std::uint16_t {
    WorkbookGlobals = 0x0005,
    VisualBasicModule = 0x0006,
    Worksheet = 0x0010,
    Chart = 0x0020,
    MacroSheet = 0x0040,
    Workspace = 0x0100,
};

inline constexpr std::uint16_t Biff8Version = 0x0600;
inline constexpr std::uint16_t Biff5Version = 0x0500;
// Largest record body; longer data goes on in CONTINUE records.
inline constexpr std::uint16_t MaxRecordData = 8224;

} // namespace tomorine::biff
