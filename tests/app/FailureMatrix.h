#pragma once
// Every write the editor makes, under every failure a disk or the store can
// give, and the reads that must not pose as a document: one table of rows
// (what is written, what goes wrong, how it must end). Each row runs the main
// window over a file system given by the fixture that derives from this one:
// the simulation natively, real files under Wine. In every row the files
// that were there keep their bytes (or take the new text through every name
// when the write succeeds), no temporary file is left, the window shows
// exactly the messages the row names, and afterwards, the failure lifted, the
// window still saves.

#include "app/BackupWriter.h"
#include "app/DocumentPaths.h"
#include "base/Error.h"
#include "tests/app/MainFormFixture.h"
#include "tests/contract/FileSystemContract.h"
#include "ui/sim/SimListView.h"
#include "ui/sim/SimTreeView.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kp::app::matrix {

using platform::FileStatus;
using platform::JoinPath;

enum class Write {
    Save,             // Save of the open document
    SaveAs,           // Save As over another file
    NewSave,          // New, Yes at the question, the save dialog's file
    CloseSave,        // closing, Yes at the question, the save dialog's file
    OpenSave,         // Open, Yes at the question, the save dialog's file
    HistoryCreate,    // a recent file that is gone, created at the question
    BackupCopy,       // the timer's copy beside the document
    UninstallDelete,  // the help files beside the program, at an uninstalling close
    Load,             // Open of a file that cannot be read as a document
    ExplorerSave,     // double-click in the file list, Yes at the question, the save dialog's file
    ExplorerRename,   // renaming in the file list
    ExplorerDelete,   // the Delete key in the file list
    SettingsAtClose,  // the settings written at close
    Placement,        // the window's place, in the close query
    DialogMemory,     // the save dialog's folder and filter
    LastTimeFile,     // the LastTimeFile command
    HistoryAtExit,    // the recent files, when the window goes
    UninstallErase,   // erasing the settings at an uninstalling close
    PrintJob,         // printing the document
};

enum class Failure {
    DiskFull,          // the volume has no room left
    ReadOnlyFile,      // the file written is read-only
    ReadOnlyFolder,    // the folder written in takes no new names
    VanishedFolder,    // the folder written in went after the document was opened
    HeldOpen,          // another program holds the file open, sharing nothing
    TooLongPath,       // a name past what the file system takes
    SymbolicLink,      // the file is reached through a symbolic link
    HardLink,          // the file has a second name
    HardLinkDiskFull,  // both at once
    Vanishes,          // the chosen file is gone when it is read
    Shrinks,           // another program cuts the file while it is read
    Directory,         // a folder given as the document
    NulDevice,         // "NUL"
    ConDevice,         // "CON"
    Pipe,              // "\\.\pipe\..."
    Fifo,              // a FIFO on the Unix side
    StoreRefuses,      // the settings' section takes no values
    PrinterFails,      // the printer gives up at the end of the job
};

enum class Outcome {
    Done,          // written, every name shows it
    CannotCreate,  // "ﾌｧｲﾙ %s を作成できません" with the path written
    WriteFailed,   // "ｽﾄﾘｰﾑへの書き込みに失敗しました"
    NotFound,      // "指定されたファイルが見つかりません"
    ReportedOnce,  // the copy's failure reported once, retried silently
    Silent,        // nothing shown, the operation goes on
    StoreMessage,  // the store's own message
    PrintFailed,   // "印刷できませんでした。", the job aborted
};

struct Row {
    Write write;
    Failure failure;
    Outcome outcome;
};

inline const char* NameOf(Write write)
{
    static const char* const names[] = {"Save",          "SaveAs",          "NewSave",      "CloseSave",
                                        "OpenSave",      "HistoryCreate",   "BackupCopy",   "UninstallDelete",
                                        "Load",          "ExplorerSave",    "ExplorerRename", "ExplorerDelete",
                                        "SettingsAtClose", "Placement",    "DialogMemory",
                                        "LastTimeFile",  "HistoryAtExit",   "UninstallErase", "PrintJob"};
    return names[static_cast<int>(write)];
}

inline const char* NameOf(Failure failure)
{
    static const char* const names[] = {"DiskFull",  "ReadOnlyFile", "ReadOnlyFolder", "VanishedFolder", "HeldOpen",
                                        "TooLongPath", "SymbolicLink", "HardLink",     "HardLinkDiskFull",
                                        "Vanishes",  "Shrinks",      "Directory",      "NulDevice",      "ConDevice",
                                        "Pipe",      "Fifo",         "StoreRefuses",   "PrinterFails"};
    return names[static_cast<int>(failure)];
}

inline std::string RowName(const ::testing::TestParamInfo<Row>& info)
{
    return std::string(NameOf(info.param.write)) + "_" + NameOf(info.param.failure);
}

inline void PrintTo(const Row& row, std::ostream* out) { *out << NameOf(row.write) << " × " << NameOf(row.failure); }

using enum Write;
using enum Failure;
using enum Outcome;

// The table. A write a failure cannot meet has no row: Save has no too-long
// path (its file exists), a recent file that is gone is neither read-only
// nor held open, and an empty file fits on a full disk.
inline const Row kRows[] = {
    {Save, DiskFull, WriteFailed},
    {Save, ReadOnlyFile, CannotCreate},
    {Save, ReadOnlyFolder, CannotCreate},
    {Save, VanishedFolder, CannotCreate},
    {Save, HeldOpen, CannotCreate},
    {Save, SymbolicLink, Done},
    {Save, HardLink, Done},
    {Save, HardLinkDiskFull, WriteFailed},

    {SaveAs, DiskFull, WriteFailed},
    {SaveAs, ReadOnlyFile, CannotCreate},
    {SaveAs, ReadOnlyFolder, CannotCreate},
    {SaveAs, VanishedFolder, CannotCreate},
    {SaveAs, HeldOpen, CannotCreate},
    {SaveAs, TooLongPath, CannotCreate},
    {SaveAs, SymbolicLink, Done},
    {SaveAs, HardLink, Done},
    {SaveAs, HardLinkDiskFull, WriteFailed},

    {NewSave, DiskFull, WriteFailed},
    {NewSave, ReadOnlyFile, CannotCreate},
    {NewSave, ReadOnlyFolder, CannotCreate},
    {NewSave, VanishedFolder, CannotCreate},
    {NewSave, HeldOpen, CannotCreate},
    {NewSave, TooLongPath, CannotCreate},
    {NewSave, SymbolicLink, Done},
    {NewSave, HardLinkDiskFull, WriteFailed},

    {CloseSave, DiskFull, WriteFailed},
    {CloseSave, ReadOnlyFile, CannotCreate},
    {CloseSave, ReadOnlyFolder, CannotCreate},
    {CloseSave, VanishedFolder, CannotCreate},
    {CloseSave, HeldOpen, CannotCreate},
    {CloseSave, TooLongPath, CannotCreate},
    {CloseSave, HardLink, Done},
    {CloseSave, HardLinkDiskFull, WriteFailed},

    {OpenSave, DiskFull, NotFound},
    {OpenSave, ReadOnlyFile, NotFound},
    {OpenSave, ReadOnlyFolder, NotFound},
    {OpenSave, VanishedFolder, NotFound},
    {OpenSave, HeldOpen, NotFound},
    {OpenSave, TooLongPath, NotFound},
    {OpenSave, SymbolicLink, Done},
    {OpenSave, HardLinkDiskFull, NotFound},

    {HistoryCreate, DiskFull, Done},
    {HistoryCreate, ReadOnlyFolder, CannotCreate},
    {HistoryCreate, VanishedFolder, CannotCreate},
    {HistoryCreate, TooLongPath, CannotCreate},

    {BackupCopy, DiskFull, ReportedOnce},
    {BackupCopy, ReadOnlyFile, ReportedOnce},
    {BackupCopy, ReadOnlyFolder, ReportedOnce},
    {BackupCopy, VanishedFolder, ReportedOnce},
    {BackupCopy, HeldOpen, ReportedOnce},
    {BackupCopy, TooLongPath, ReportedOnce},
    {BackupCopy, HardLink, Done},

    {UninstallDelete, ReadOnlyFile, Silent},
    {UninstallDelete, ReadOnlyFolder, Silent},
    {UninstallDelete, VanishedFolder, Silent},
    {UninstallDelete, HeldOpen, Silent},

    {Load, Vanishes, NotFound},
    {Load, Shrinks, NotFound},
    {Load, HeldOpen, NotFound},
    {Load, Directory, NotFound},
    {Load, NulDevice, NotFound},
    {Load, ConDevice, NotFound},
    {Load, Pipe, NotFound},
    {Load, Fifo, NotFound},

    {ExplorerSave, DiskFull, WriteFailed},
    {ExplorerSave, ReadOnlyFile, CannotCreate},
    {ExplorerSave, ReadOnlyFolder, CannotCreate},
    {ExplorerSave, VanishedFolder, CannotCreate},
    {ExplorerSave, HeldOpen, CannotCreate},
    {ExplorerSave, TooLongPath, CannotCreate},

    {ExplorerRename, ReadOnlyFolder, Silent},
    {ExplorerRename, HeldOpen, Silent},
    {ExplorerRename, TooLongPath, Silent},

    {ExplorerDelete, ReadOnlyFile, Silent},
    {ExplorerDelete, ReadOnlyFolder, Silent},
    {ExplorerDelete, HeldOpen, Silent},

    {SettingsAtClose, StoreRefuses, Silent},
    {Placement, StoreRefuses, Silent},
    {DialogMemory, StoreRefuses, Silent},
    {LastTimeFile, StoreRefuses, StoreMessage},
    {HistoryAtExit, StoreRefuses, Silent},
    {UninstallErase, StoreRefuses, Silent},
    {PrintJob, PrinterFails, PrintFailed},
};

// The rows that concern files, without the explorer's (its shell is
// simulated over the simulated disk).
inline std::vector<Row> FileRows()
{
    std::vector<Row> rows;
    for (const Row& row : kRows)
        if (row.failure != StoreRefuses && row.failure != PrinterFails && row.write != ExplorerSave &&
            row.write != ExplorerRename && row.write != ExplorerDelete)
            rows.push_back(row);
    return rows;
}

// The main window over the file system of a deriving fixture, which also
// gives the failures that need more than the file system's own calls.
class FailureMatrixFixture : public MainFormFixture {
protected:
    // The file system the rows run on.
    virtual platform::FileSystem& Disk() = 0;
    // A new, empty folder for the row's files; on a small volume of its own
    // when `small`. Empty, with the reason in skip_, when it cannot be made.
    virtual std::string MakeRoot(bool small) = 0;
    // The small volume has no room left / has its room back.
    virtual bool FillVolume() = 0;
    virtual void EmptyVolume() = 0;
    // Once the reading reaches past the first bytes, the file is cut to
    // `bytes`. False when the file system under test cannot do it.
    virtual bool ShrinkWhileRead(const std::string& path, std::string bytes) = 0;
    // A FIFO at path; false when there is none to make.
    virtual bool MakeFifo(const std::string& path) = 0;
    // A pipe's path, open for a reader when the platform has pipes.
    virtual std::string MakePipe() = 0;
    // The shell the explorer rows browse with; none by default.
    virtual platform::ShellNamespace* Shell() { return nullptr; }

    static constexpr std::string_view kDocText = "document\r\n\x82\xA0\x95\x5C\r\n";
    static constexpr std::string_view kTargetText = "target's own\r\n";
    static constexpr std::string_view kOldCopy = "old copy";
    static constexpr std::string_view kTyped = "typed ";

    void TearDown() override
    {
        list_.reset();
        tree_.reset();
        form.reset();  // the window goes before what its files live on
        held_.reset();
        readOnly_.reset();
        if (!root_.empty()) {
            if (full_) EmptyVolume();
            test::RemoveTree(Disk(), root_);
        }
    }

    void RunRow(const Row& row)
    {
        row_ = row;
        const bool small = row.failure == DiskFull || row.failure == HardLinkDiskFull;
        root_ = MakeRoot(small);
        if (root_.empty()) GTEST_SKIP() << skip_;
        ArrangeFiles();
        if (!ArrangeReach()) GTEST_SKIP() << skip_;
        StartWindow();
        if (HasFatalFailure()) return;
        if (!Inject()) GTEST_SKIP() << skip_;
        RunWrite();
        Lift();
        CheckMessages();
        CheckFiles();
        CheckWindowAndUse();
    }

private:
    // ---- The row's files ------------------------------------------------

    std::string In(std::string_view name) const { return JoinPath(root_, name); }
    std::string Out() const { return In("out"); }

    bool IsDocumentSave() const
    {
        return row_.write == SaveAs || row_.write == NewSave || row_.write == CloseSave ||
               row_.write == OpenSave || row_.write == ExplorerSave;
    }

    void Put(const std::string& path, std::string_view bytes)
    {
        memo::SaveTextFile(Disk(), path, bytes);
        kept_[path] = std::string(bytes);
    }

    // The document, the file each write aims at, and what lies around them.
    void ArrangeFiles()
    {
        ASSERT_EQ(Disk().CreateFolder(Out()), FileStatus::Ok);
        ASSERT_EQ(Disk().CreateFolder(In("real")), FileStatus::Ok);
        switch (row_.write) {
        case Save:
            document_ = JoinPath(Out(), "doc.txt");
            target_ = document_;
            break;
        case BackupCopy:
            document_ = JoinPath(Out(), row_.failure == TooLongPath ? std::string(248, 'n') + ".txt" : "doc.txt");
            target_ = BackupPath(document_);
            break;
        case HistoryCreate:
            document_ = In("doc.txt");
            target_ = JoinPath(Out(), "missing.txt");
            break;
        case UninstallDelete:
            document_ = In("doc.txt");
            target_ = JoinPath(Out(), "Kpad.hlp");
            break;
        default:
            document_ = In("doc.txt");
            target_ = JoinPath(Out(), "target.txt");
            break;
        }
        if (row_.failure == TooLongPath && row_.write != BackupCopy)
            target_ = JoinPath(Out(), std::string(256, 'n') + ".txt");
        const bool reached = row_.failure == SymbolicLink || row_.failure == HardLink || row_.failure == HardLinkDiskFull;
        if (!(row_.write == Save && reached)) Put(document_, kDocText);
        if (IsDocumentSave() && row_.failure != TooLongPath && !reached) Put(target_, kTargetText);
        if (row_.write == BackupCopy && !reached && row_.failure != TooLongPath) Put(target_, kOldCopy);
        if (row_.write == UninstallDelete) {
            Put(target_, "help");
            Put(JoinPath(Out(), "Kpad.gid"), "gid");
        }
        if (row_.write == Load && row_.failure != Vanishes) Put(JoinPath(Out(), "chosen.txt"), kTargetText);
        if (row_.write == ExplorerSave) Put(JoinPath(In("real"), "next.txt"), kTargetText);
        if ((row_.write == ExplorerRename || row_.write == ExplorerDelete) && row_.failure != TooLongPath)
            Put(target_, kTargetText);
        if (row_.write == ExplorerRename && row_.failure == TooLongPath) {
            target_ = JoinPath(Out(), "target.txt");
            Put(target_, kTargetText);
        }
    }

    bool IsExplorer() const
    {
        return row_.write == ExplorerSave || row_.write == ExplorerRename || row_.write == ExplorerDelete;
    }
    // The new name a rename types: past what the file system takes for the
    // too-long row (yet short enough for the list to pass it on).
    std::string NewName() const
    {
        return row_.failure == TooLongPath ? std::string(252, 'r') + ".txt" : "renamed.txt";
    }

    // The file at target_ reached through a link: its bytes live at real_.
    bool ArrangeReach()
    {
        const std::string_view first = row_.write == Save ? kDocText : row_.write == BackupCopy ? kOldCopy : kTargetText;
        switch (row_.failure) {
        case SymbolicLink:
            real_ = JoinPath(In("real"), "file.txt");
            Put(real_, first);
            if (!test::MakeSymbolicLink(Disk(), target_, real_)) {
                skip_ = "this user may not make symbolic links here";
                return false;
            }
            return true;
        case HardLink:
        case HardLinkDiskFull:
            real_ = JoinPath(In("real"), "second.txt");
            Put(target_, first);
            kept_[real_] = std::string(first);
            EXPECT_EQ(Disk().MakeHardLink(target_, real_), FileStatus::Ok);
            return true;
        default:
            return true;
        }
    }

    // ---- The window -----------------------------------------------------

    void StartWindow()
    {
        svc_ = std::make_unique<FormServices>(FormServices{
            services.registry, Disk(), services.keyNames, services.keys, services.sysColors, services.application,
            services.dialogs, services.timers, services.memoWindows, services.locale, services.fullPath,
            Out() + "\\", services.clock, services.dateLocale, services.clipboard, services.codec, services.forms,
            services.printers, services.help, IsExplorer() ? Shell() : services.shell});
        if (row_.write == BackupCopy) Stored("File", "Backup", "1");
        Stored("History", "Count", "0");
        form = std::make_unique<TEditForm>(*svc_, host);
        if (IsExplorer()) {
            form->ClientArea.Arrange(ui::TRect{0, 0, 700, 400});
            tree_ = std::make_unique<ui::SimTreeView>(form->FolderTreeViewEx1);
            list_ = std::make_unique<ui::SimListView>(form->ShellListBox1);
        }
        form->FormCreate({document_});
        form->FormShow();
        form->SetBackupWriting(inline_, [this] { return now_; });
        ASSERT_EQ(form->CurrentFile, document_);
        if (row_.write != Load && row_.write < SettingsAtClose) Type(kTyped);
        textBefore_ = form->Memo.Text();
        captionBefore_ = host.Caption();
        messages.Clear();
    }

    // Runs a command as the host does: a failure it leaves goes to the
    // default handler.
    void Command(const std::function<void()>& run)
    {
        try {
            run();
        } catch (const Error& failure) {
            application.HandleException(failure);
        }
    }

    // ---- The failure ----------------------------------------------------

    // The folder the write makes its names in.
    std::string WriteFolder() const { return platform::ParentFolder(target_); }

    bool Inject()
    {
        switch (row_.failure) {
        case DiskFull:
        case HardLinkDiskFull:
            full_ = FillVolume();
            if (!full_) skip_ = "the volume could not be filled";
            return full_;
        case ReadOnlyFile:
            return Disk().SetReadOnly(target_, true) == FileStatus::Ok;
        case ReadOnlyFolder:
            readOnly_ = std::make_unique<test::ReadOnlyFolder>(Disk(), WriteFolder());
            if (!readOnly_->Applied()) skip_ = "no way to make a read-only folder here";
            return readOnly_->Applied();
        case VanishedFolder:
            for (const auto& [path, bytes] : std::map<std::string, std::string>(kept_))
                if (platform::ParentFolder(path) == WriteFolder()) kept_.erase(path);
            test::RemoveTree(Disk(), WriteFolder());
            return !Disk().Query(WriteFolder()).exists;
        case HeldOpen:
            held_ = std::make_unique<test::HeldFile>(Disk(), row_.write == Load ? Chosen() : target_);
            return held_->Held();
        case Shrinks:
            if (!ShrinkWhileRead(Chosen(), "cut")) {
                skip_ = "only the simulation changes a file between two reads";
                return false;
            }
            kept_[Chosen()] = "cut";  // as the other program leaves it
            return true;
        case Fifo:
            if (!MakeFifo(JoinPath(Out(), "fifo"))) {
                skip_ = "no FIFO on this platform";
                return false;
            }
            return true;
        case StoreRefuses:
            return true;  // each write refuses its own section
        case PrinterFails:
            printers.setup.failure = platform::SimPrintFailure::EndDoc;
            return true;
        default:
            return true;
        }
    }

    void Lift()
    {
        if (full_) EmptyVolume();
        full_ = false;
        held_.reset();
        if (readOnly_) readOnly_->Lift();
        if (row_.failure == ReadOnlyFile) Disk().SetReadOnly(target_, false);
        if (row_.failure == VanishedFolder) Disk().CreateFolder(WriteFolder());
        registry.SetReadOnly(kKey, false);
        for (const char* section : {"File", "Setup", "Visual", "History"})
            registry.SetReadOnly(std::string(kKey) + "\\" + section, false);
        printers.setup.failure = platform::SimPrintFailure::None;
    }

    // The path the open dialog gives for a Load row.
    std::string Chosen()
    {
        switch (row_.failure) {
        case Vanishes: return JoinPath(Out(), "gone.txt");
        case Directory: return Out();
        case NulDevice: return JoinPath(Out(), "NUL");
        case ConDevice: return JoinPath(Out(), "CON");
        case Pipe: return pipe_.empty() ? (pipe_ = MakePipe()) : pipe_;
        case Fifo: return JoinPath(Out(), "fifo");
        default: return JoinPath(Out(), "chosen.txt");
        }
    }

    // ---- The write ------------------------------------------------------

    void RunWrite()
    {
        TEditForm& f = *form;
        const std::string key(kKey);
        switch (row_.write) {
        case Save: Command([&] { f.MenuItem("Save")->Click(); }); break;
        case SaveAs:
            dialogs.AnswerFile(target_);
            Command([&] { f.MenuItem("SaveAs")->Click(); });
            break;
        case NewSave:
            messages.Answer(ui::mrYes);
            dialogs.AnswerFile(target_);
            Command([&] { f.MenuItem("New")->Click(); });
            break;
        case CloseSave:
            messages.Answer(ui::mrYes);
            dialogs.AnswerFile(target_);
            closed_ = Close();
            break;
        case OpenSave:
            messages.Answer(ui::mrYes);
            dialogs.AnswerFile(target_);
            Command([&] { f.MenuItem("Open")->Click(); });
            break;
        case HistoryCreate:
            messages.Answer(ui::mrYes);
            Command([&] { f.HistorySelected(target_); });
            break;
        case BackupCopy:
            // The failing write, its report, a quiet retry five seconds on.
            TickAndTake();
            now_ += 5000;
            TickAndTake();
            break;
        case UninstallDelete:
        case UninstallErase:
            Stored("File", "Folder", root_);
            if (row_.write == UninstallErase) registry.SetReadOnly(key + "\\File", true);
            messages.Answer(ui::mrYes);
            f.UninstallItem->Click();
            closed_ = Close();
            break;
        case Load:
            dialogs.AnswerFile(Chosen());
            Command([&] { f.MenuItem("Open")->Click(); });
            break;
        case SettingsAtClose:
            Stored("Setup", "VisualSave", "1");
            registry.SetReadOnly(key + "\\Visual", true);
            closed_ = Close();
            break;
        case Placement:
            Stored("Setup", "WindowSave", "1");
            Stored("Visual", "FormWidth", "640");
            registry.SetReadOnly(key + "\\Visual", true);
            closed_ = Close();
            break;
        case DialogMemory:
            Stored("Setup", "SaveDlgFilter", "1");
            registry.SetReadOnly(key + "\\File", true);
            registry.SetReadOnly(key + "\\Setup", true);
            dialogs.Script(ui::FileDialogScript().FolderChange(Out()).TypeChange(3).Confirm(target_));
            Command([&] { f.MenuItem("SaveAs")->Click(); });
            break;
        case LastTimeFile:
            Stored("File", "LastTimeFile", "1");
            registry.SetReadOnly(key + "\\File", true);
            Command([&] { f.MenuItem("LastTimeFile")->Click(); });
            break;
        case HistoryAtExit:
            registry.SetReadOnly(key + "\\History", true);
            closed_ = Close();
            form.reset();
            break;
        case PrintJob:
            dialogs.AnswerPrint(true);
            Command([&] { f.MenuItem("Print")->Click(); });
            break;
        case ExplorerSave:
            if (ui::TListItem* item = Listed(In("real"), "next.txt")) {
                messages.Answer(ui::mrYes);
                dialogs.AnswerFile(target_);
                list_->MouseMove(1, 1);
                Command([&] { list_->DoubleClick(*item); });
            }
            break;
        case ExplorerRename:
            if (ui::TListItem* item = Listed(Out(), "target.txt")) {
                list_->Click(*item);
                list_->PressF2();
                list_->Type(NewName());
                Command([&] { list_->PressEnter(); });
            }
            break;
        case ExplorerDelete:
            if (ui::TListItem* item = Listed(Out(), "target.txt")) {
                list_->Click(*item);
                Command([&] { list_->KeyDown(0x2E); });
            }
            break;
        }
    }

    // The item of that caption once the tree has gone to folder.
    ui::TListItem* Listed(const std::string& folder, const std::string& caption)
    {
        form->FolderTreeViewEx1.SetSelectedPath(folder);
        for (size_t i = 0; i < form->ShellListBox1.Count(); ++i)
            if (form->ShellListBox1.Item(i)->Caption() == caption) return form->ShellListBox1.Item(i);
        ADD_FAILURE() << "the list of " << folder << " shows no " << caption;
        return nullptr;
    }

    void TickAndTake()
    {
        form->Timer1.Tick();  // starts the write (run at once here)
        form->Timer1.Tick();  // takes its outcome
    }

    // ---- The checks -----------------------------------------------------

    // The confirmations the write asks before it writes.
    size_t Questions() const
    {
        switch (row_.write) {
        case NewSave:
        case CloseSave:
        case OpenSave:
        case ExplorerSave:
        case HistoryCreate:
        case UninstallDelete:
        case UninstallErase: return 1;
        default: return 0;
        }
    }

    std::vector<std::string> ExpectedErrors() const
    {
        switch (row_.outcome) {
        case CannotCreate:
        case ReportedOnce: return {FormatWithArgument("ﾌｧｲﾙ %s を作成できません", target_)};
        case WriteFailed: return {"ｽﾄﾘｰﾑへの書き込みに失敗しました"};
        case NotFound: return {"指定されたファイルが見つかりません"};
        case StoreMessage: return {"ｷｰ File の作成に失敗しました"};  // the section refuses writing
        case PrintFailed: return {"印刷できませんでした。"};
        default: return {};
        }
    }

    void CheckMessages()
    {
        size_t questions = 0;
        std::vector<std::string> errors;
        for (const ui::ShownMessage& shown : messages.Shown()) {
            if (shown.kind == ui::DialogKind::Confirmation)
                ++questions;
            else
                errors.push_back(shown.text);
        }
        EXPECT_EQ(questions, Questions());
        EXPECT_EQ(errors, ExpectedErrors());
        EXPECT_EQ(messages.PendingAnswers(), 0u);
        EXPECT_EQ(dialogs.PendingScripts(), 0u);
    }

    // Every file the row found keeps its bytes, unless the write succeeded
    // on it; nothing temporary is left anywhere.
    void CheckFiles()
    {
        const bool written = row_.outcome == Done;
        for (const auto& [path, bytes] : kept_) {
            SCOPED_TRACE(path);
            const bool aimed = path == target_ || path == real_;
            if (written && aimed) continue;
            if (row_.write == UninstallDelete && platform::FileNameOf(path) == "Kpad.gid") continue;  // it goes
            std::string now;
            ASSERT_EQ(Disk().ReadAll(path, now), FileStatus::Ok);
            EXPECT_TRUE(now == bytes) << now;
        }
        if (written && row_.write != HistoryCreate) {
            for (const std::string& name : {target_, real_}) {
                if (name.empty()) continue;
                std::string now;
                ASSERT_EQ(Disk().ReadAll(name, now), FileStatus::Ok) << name;
                EXPECT_TRUE(now == textBefore_) << name << ": " << now;
            }
        }
        if (row_.failure == SymbolicLink) {
            EXPECT_TRUE(Disk().Query(target_).symbolicLink);
        }
        if (row_.failure == HardLink) {
            EXPECT_EQ(Disk().Query(target_).hardLinks, 2u);
        }
        EXPECT_EQ(Leftovers(root_), std::vector<std::string>{});
    }

    std::vector<std::string> Leftovers(const std::string& folder)
    {
        std::vector<std::string> found, names;
        if (Disk().ListFolder(folder, names) != FileStatus::Ok) return found;
        for (const std::string& name : names) {
            const std::string path = JoinPath(folder, name);
            if (name.starts_with("~kp") && name.ends_with(".tmp")) found.push_back(path);
            if (Disk().Query(path).directory && !Disk().Query(path).symbolicLink) {
                const std::vector<std::string> below = Leftovers(path);
                found.insert(found.end(), below.begin(), below.end());
            }
        }
        return found;
    }

    // What the window shows after the row, and that it still saves.
    void CheckWindowAndUse()
    {
        const bool closes = row_.write == UninstallDelete || row_.write == UninstallErase ||
                            row_.write == SettingsAtClose || row_.write == Placement ||
                            row_.write == HistoryAtExit;
        if (closes) {
            EXPECT_TRUE(closed_);
            if (row_.write == UninstallDelete) {
                EXPECT_EQ(Read("File", "Folder"), "(missing)");
            }
            if (row_.write == HistoryAtExit) {
                EXPECT_EQ(Read("History", "Count"), "0");
            }
            if (row_.write == SettingsAtClose) {
                EXPECT_EQ(Read("Visual", "ToolBar"), "(missing)");
            }
            return;
        }
        TEditForm& f = *form;
        const bool documentWritten = row_.outcome == Done;
        switch (row_.write) {
        case Load:
            EXPECT_EQ(f.Memo.Text(), kDocText);
            EXPECT_FALSE(f.Memo.Modified());
            EXPECT_EQ(f.CurrentFile, document_);
            break;
        case HistoryCreate:
            if (documentWritten) {
                EXPECT_EQ(f.CurrentFile, target_);
                EXPECT_EQ(f.Memo.Text(), "");
                break;
            }
            EXPECT_EQ(f.Memo.Text(), textBefore_);
            EXPECT_EQ(f.CurrentFile, document_);
            break;
        case DialogMemory: {
            std::string written;
            EXPECT_EQ(Disk().ReadAll(target_, written), FileStatus::Ok);
            EXPECT_TRUE(written == textBefore_) << written;
            EXPECT_EQ(Read("File", "SaveDlgDir"), "(missing)");
            break;
        }
        case LastTimeFile: EXPECT_EQ(Read("File", "LastTimeFile"), "1"); break;
        case PrintJob:
            ASSERT_FALSE(printers.Jobs().empty());
            EXPECT_TRUE(printers.Jobs().back().aborted);
            break;
        case ExplorerRename:
        case ExplorerDelete:
            EXPECT_TRUE(platform::FileExists(Disk(), target_));
            EXPECT_FALSE(Disk().Query(JoinPath(Out(), NewName())).exists);
            break;
        case BackupCopy: break;
        default:
            if (row_.write == CloseSave) {
                EXPECT_EQ(closed_, documentWritten);
            }
            if (!documentWritten) {
                EXPECT_EQ(f.Memo.Text(), textBefore_);
                EXPECT_TRUE(f.Memo.Modified());
                EXPECT_EQ(f.CurrentFile, document_);
                EXPECT_EQ(host.Caption(), captionBefore_);
            }
            break;
        }
        if (closed_) return;
        if (row_.write == BackupCopy) {
            // The failure lifted, the next write five seconds on makes the
            // copy, without another message.
            const size_t shown = messages.Shown().size();
            now_ += 5000;
            TickAndTake();
            EXPECT_EQ(messages.Shown().size(), shown);
            if (row_.failure != TooLongPath) {
                std::string copy;
                EXPECT_EQ(Disk().ReadAll(target_, copy), FileStatus::Ok);
                EXPECT_TRUE(copy == f.Memo.Text()) << copy;
            }
        }
        // The window goes on: typing and saving under a new name work.
        Type("+");
        const std::string text = f.Memo.Text();
        const std::string after = In("after.txt");
        dialogs.AnswerFile(after);
        Command([&] { f.MenuItem("SaveAs")->Click(); });
        std::string saved;
        EXPECT_EQ(Disk().ReadAll(after, saved), FileStatus::Ok);
        EXPECT_TRUE(saved == text) << saved;
        EXPECT_FALSE(f.Memo.Modified());
        EXPECT_EQ(Leftovers(root_), std::vector<std::string>{});
    }

protected:
    // The row's folder.
    const std::string& Root() const { return root_; }
    std::string skip_;

private:
    Row row_{};
    std::string root_, document_, target_, real_, pipe_;
    std::map<std::string, std::string> kept_;  // every file put there, by path
    std::string textBefore_, captionBefore_;
    std::unique_ptr<FormServices> svc_;
    std::unique_ptr<ui::SimTreeView> tree_;
    std::unique_ptr<ui::SimListView> list_;
    std::unique_ptr<test::HeldFile> held_;
    std::unique_ptr<test::ReadOnlyFolder> readOnly_;
    InlineExecutor inline_;
    uint64_t now_ = 1000;
    bool full_ = false;
    bool closed_ = false;
};

}  // namespace kp::app::matrix
