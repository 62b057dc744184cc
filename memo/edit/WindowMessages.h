#pragma once
// Window messages and virtual keys the portable memo code handles, with the
// platform's values (kept apart from <windows.h>; the names differ on purpose).

#include <cstdint>

namespace kp::memo::wm {

constexpr uint32_t kSetText = 0x000C;
constexpr uint32_t kGetText = 0x000D;
constexpr uint32_t kGetTextLength = 0x000E;
constexpr uint32_t kPaint = 0x000F;
constexpr uint32_t kContextMenu = 0x007B;
constexpr uint32_t kNcPaint = 0x0085;
constexpr uint32_t kKeyDown = 0x0100;
constexpr uint32_t kKeyUp = 0x0101;
constexpr uint32_t kChar = 0x0102;
constexpr uint32_t kMouseMove = 0x0200;
constexpr uint32_t kLButtonDown = 0x0201;
constexpr uint32_t kLButtonUp = 0x0202;
constexpr uint32_t kLButtonDblClk = 0x0203;
constexpr uint32_t kNotify = 0x004E;
constexpr uint32_t kCommand = 0x0111;
constexpr uint32_t kUser = 0x0400;
// The framework's reflection of a parent's WM_NOTIFY back to the control.
constexpr uint32_t kCnNotify = 0xBC00 + kNotify;

}  // namespace kp::memo::wm

namespace kp::memo::vk {

constexpr uint32_t kBack = 0x08;
constexpr uint32_t kTab = 0x09;
constexpr uint32_t kReturn = 0x0D;
constexpr uint32_t kShift = 0x10;
constexpr uint32_t kControl = 0x11;
constexpr uint32_t kPrior = 0x21;
constexpr uint32_t kNext = 0x22;
constexpr uint32_t kEnd = 0x23;
constexpr uint32_t kHome = 0x24;
constexpr uint32_t kLeft = 0x25;
constexpr uint32_t kUp = 0x26;
constexpr uint32_t kRight = 0x27;
constexpr uint32_t kDown = 0x28;
constexpr uint32_t kInsert = 0x2D;
constexpr uint32_t kDelete = 0x2E;

}  // namespace kp::memo::vk
