#include "store/xls/format_records.h"

#include "store/xls/biff_records.h"

namespace tomorine::biff {

namespace {

// Font 4 does not exist in BIFF: five records are fonts 0, 1, 2, 3 and 5.
constexpr int kFontCount = 5;
constexpr std::uint16_t kCellFont = 5;
// The first number format index left to workbooks; xlwt defines "General"
// there rather than using the built-in format 0.
constexpr std::uint16_t kGeneralFormat = 164;
constexpr int kStyleXfCount = 16;

void WriteFont(RecordWriter& out) {
    out.begin(Font);
    out.u16(200);    // height: 10 points in twips
    out.u16(0);      // no italic, strike-out, outline or shadow
    out.u16(0x7FFF); // colour: window text
    out.u16(400);    // weight: normal
    out.u16(0);      // no super- or subscript
    out.u8(0);       // no underline
    out.u8(0);       // family: none
    out.u8(1);       // character set: default
    out.u8(0);
    out.u8(5); // name "Arial", 8-bit characters
    out.u8(0);
    out.chars(u"Arial", false);
    out.end();
}

void WriteGeneralFormat(RecordWriter& out) {
    out.begin(Format);
    out.u16(kGeneralFormat);
    out.u16(7);
    out.u8(0);
    out.chars(u"General", false);
    out.end();
}

// `typeAndParent`: 0xFFF5 for a style XF (locked, style, no parent), 0x0001
// for a cell XF (locked, parent style XF 0). `usedAttributes` differ alike.
void WriteXf(RecordWriter& out, std::uint16_t typeAndParent, std::uint8_t usedAttributes) {
    out.begin(Xf);
    out.u16(kCellFont);
    out.u16(kGeneralFormat);
    out.u16(typeAndParent);
    out.u8(0x20); // aligned at the bottom, general horizontally
    out.u8(0);    // no rotation
    out.u8(0);    // no indent, shrink or direction
    out.u8(usedAttributes);
    out.u32(0);      // no borders
    out.u32(0);      // no diagonal, no fill pattern
    out.u16(0x20C0); // pattern colours: system foreground and background
    out.end();
}

void WriteNormalStyle(RecordWriter& out) {
    out.begin(Style);
    out.u16(0x8000); // built-in style on XF 0
    out.u8(0);       // Normal
    out.u8(0xFF);    // no outline level
    out.end();
}

} // namespace

void WriteFormatRecords(RecordWriter& out) {
    for (int i = 0; i < kFontCount; ++i) {
        WriteFont(out);
    }
    WriteGeneralFormat(out);
    for (int i = 0; i < kStyleXfCount; ++i) {
        WriteXf(out, 0xFFF5, 0xF4);
    }
    WriteXf(out, 0x0001, 0xF8);
    WriteNormalStyle(out);
}

} // namespace tomorine::biff
