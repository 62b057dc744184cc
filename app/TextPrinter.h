#pragma once
// Lays out plain code-page-932 text on a PrintDevice and prints it:
//
// - output starts at the top-left corner of the printable area, no margin;
// - a line advances by the tallest text drawn on it plus 2 device units, an
//   empty line by the font's character height;
// - a text wider than the page breaks before the first character that would
//   cross the right edge (a double-byte character is never split); each line
//   holds at least one character, so a character wider than the page prints
//   alone on its line;
// - a tab moves to the next stop, every 8 average character widths; a tab
//   whose stop lies past the right edge ends the line;
// - LF ends the line; CR is neither drawn nor a line end; a form feed (0x0C)
//   starts a new page;
// - after a line end, a new page starts when the position would come closer
//   than two text lines to the bottom; each page holds at least one line.
//
// Page breaks wait for the next text that is drawn, so no job ends on a blank
// sheet. Other control bytes and bytes that do not decode print as the
// device's substitute. Each character's width is asked of the device once
// per job.

#include "platform/printer/PrintDevice.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kp::app {

class TextPrinter {
public:
    explicit TextPrinter(platform::PrintDevice& device) : device_(device) {}

    // Starts the job with the font (its pixel height is for the 96-DPI
    // screen; the device gets it scaled to its own resolution).
    void Begin(const std::string& title, const platform::FontSpec& screenFont, uint32_t rgb);
    // Writes a piece of text; a lead byte at its end stands alone.
    void Write(std::string_view bytes);
    // Ends the job. Device failures throw; the caller aborts the device.
    void End();

private:
    void PutChar(std::string_view bytes, uint16_t code);
    void Tab();
    void EndLine();
    void Flush();
    int Width(uint16_t code);

    platform::PrintDevice& device_;
    std::vector<int> widths_;  // by character code; -1: not asked yet
    int pageWidth_ = 0;
    int pageHeight_ = 0;
    int charHeight_ = 0;
    int tabWidth_ = 0;
    int x_ = 0;
    int y_ = 0;
    int tallest_ = 0;      // of the text drawn on the current line
    int pendingPages_ = 0; // page breaks that wait for text
    std::string run_;      // bytes laid out but not drawn yet
    int runX_ = 0;
};

}  // namespace kp::app
