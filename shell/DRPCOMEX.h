#pragma once
// The shell's own commands on explorer items: TContextMenuEx shows the shell
// context menu of some children of one folder and carries out the choice,
// filling the Send To submenu itself and carrying out a Send To choice as a
// copy followed by a paste into the chosen target; TDropSourceEx starts a
// shell drag of such children.
//
// Both take a packed selection: count one-item identifiers of children of the
// folder, back to back. Neither keeps state between calls: the menu, the
// unpacked copies and the drag objects live for one call.

#include "platform/codec/Cp932Codec.h"
#include "platform/shell/ShellNamespace.h"
#include "ui/MessageDialogs.h"

#include <atomic>
#include <string>
#include <vector>

namespace kp::shell {

// Command ids of the context menu.
namespace menuid {
constexpr uint32_t kFirst = 1;
// The shell's ids end below the Send To range, so that no shell command can
// be taken for a Send To entry.
constexpr uint32_t kLast = 1524;
constexpr uint32_t kSendToFirst = 1525;
constexpr int kSendToMax = 100;
constexpr uint32_t kCopy = 26;
constexpr uint32_t kPaste = 27;
constexpr uint32_t kExploreFlag = 4;
constexpr uint32_t kTrackFlags = 0x0102;  // return the command, right button
constexpr int kMaxSelection = 1024;
}  // namespace menuid

constexpr std::string_view kInvokeFailedText = " InvokeCommand failed! ";
constexpr std::string_view kInvokeFailedCaption = " TContextMenuEx component version 2.05";

// A selection unpacked into one owned one-item list per child. False (and
// nothing kept) unless 1 <= count <= 1024 and the selection holds count
// identifiers.
bool UnpackSelection(platform::ShellAllocator* allocator, platform::IdView selection, int count,
                     std::vector<platform::IdList>& out);

// The 1-based position of the first enabled, non-separator item of menu
// whose text (as code-page-932 bytes, at most 255 of them) has marker's first
// occurrence at the 1-based byte position; -1 when none has.
int FindMenuItem(const platform::PopupMenu& menu, const platform::Cp932Codec& codec, std::string_view marker,
                 int position);

class TContextMenuEx {
public:
    TContextMenuEx(platform::ShellNamespace* shell, const platform::Cp932Codec& codec,
                   ui::MessageDialogService& messages);

    // Published; copied on assignment (nullptr is ignored); nothing reads it.
    const std::vector<std::string>& CMFileName() const { return cmFileName_; }
    void SetCMFileName(const std::vector<std::string>* names)
    {
        if (names) cmFileName_ = *names;
    }

    // Shows the context menu of count children of folder at the screen point
    // and carries out the choice: true when a command was carried out.
    bool ShowMenu(platform::WindowRef owner, platform::ShellFolder* folder, int x, int y, int count,
                  platform::IdView selection);

    // Fills the Send To submenu of menu from the Send To folder: true when it
    // is active (the folder was walked and has fewer than 100 entries).
    bool FillSendTo(platform::PopupMenu& menu, platform::WindowRef owner);
    // Copies what the clipboard holds into the Send To entry at index.
    bool SendToTarget(platform::WindowRef owner, int index);
    // Carries out the paste command of target, a child of folder.
    bool PasteIntoTarget(platform::WindowRef owner, platform::ShellFolder& folder, platform::IdView target);

private:
    bool Invoke(platform::ShellContextMenu& menu, platform::WindowRef owner, uint32_t id);

    platform::ShellNamespace* shell_;
    const platform::Cp932Codec& codec_;
    ui::MessageDialogService& messages_;
    std::vector<std::string> cmFileName_;
};

// The drag source of one drag, reference-counted: created with one
// reference, freed when the last is released.
class TDropSourceObject final : public platform::DropSource {
public:
    static TDropSourceObject* Create() { return new TDropSourceObject; }

    uint32_t AddRef() override;
    uint32_t Release() override;
    // Esc cancels; a held left or right button goes on; else the drop.
    platform::ShellResult QueryContinueDrag(bool escapePressed, uint32_t keyState) override;
    platform::ShellResult GiveFeedback(uint32_t effect) override;

    // How many drag sources are alive (tests show none is left behind).
    static long Live() { return live_.load(); }

private:
    TDropSourceObject() { ++live_; }
    ~TDropSourceObject() override { --live_; }

    std::atomic<uint32_t> references_{1};
    static inline std::atomic<long> live_{0};
};

class TDropSourceEx {
public:
    explicit TDropSourceEx(platform::ShellNamespace* shell) : shell_(shell) {}

    const std::vector<std::string>& DSFileName() const { return dsFileName_; }
    void SetDSFileName(const std::vector<std::string>* names)
    {
        if (names) dsFileName_ = *names;
    }

    // Runs a drag of count children of folder until it ends. False when it
    // could not start.
    bool StartDrag(platform::WindowRef owner, platform::ShellFolder* folder, int count, platform::IdView selection);

private:
    platform::ShellNamespace* shell_;
    std::vector<std::string> dsFileName_;
};

}  // namespace kp::shell
