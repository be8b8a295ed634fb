#include "gui/GuiSupport.h"

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/config.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <cstdlib>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/listbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <unistd.h>

namespace morvane::test {

std::string gScreenshotFolder;

std::string ToStd(const wxString& text) { return std::string(text.utf8_str()); }

std::vector<uint8_t> DemoBytes(const std::string& name) {
    return ReadBytes(std::string(MORVANE_SOURCE_DIR) + "/demo/" + name);
}

DialogScript& DialogScript::Get() {
    static DialogScript* script = [] {
        auto* s = new DialogScript;
        s->Register();
        return s;
    }();
    return *script;
}

void DialogScript::ExpectMessage() {
    Expect([this](wxDialog* dialog) {
        auto* box = dynamic_cast<wxMessageDialog*>(dialog);
        if (box == nullptr) {
            ADD_FAILURE() << "expected a message box, got \"" << ToStd(dialog->GetTitle()) << "\"";
            return static_cast<int>(wxID_CANCEL);
        }
        messages.push_back(ToStd(box->GetMessage()));
        captions.push_back(ToStd(box->GetCaption()));
        return static_cast<int>(wxID_OK);
    });
}

void DialogScript::ExpectQuestion(int answer) {
    Expect([this, answer](wxDialog* dialog) {
        auto* box = dynamic_cast<wxMessageDialog*>(dialog);
        if (box == nullptr) {
            ADD_FAILURE() << "expected a question, got \"" << ToStd(dialog->GetTitle()) << "\"";
            return static_cast<int>(wxID_CANCEL);
        }
        messages.push_back(ToStd(box->GetMessage()));
        captions.push_back(ToStd(box->GetCaption()));
        // Labels as the user reads them, without their mnemonic marks (GTK
        // writes them as "_").
        auto plain = [](const wxString& label) {
            std::string text = ToStd(label);
            text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == '&' || c == '_'; }),
                       text.end());
            return text;
        };
        std::string labels = plain(box->GetYesLabel()) + "|" + plain(box->GetNoLabel());
        if (box->GetMessageDialogStyle() & wxCANCEL) labels += "|" + plain(box->GetCancelLabel());
        buttons.push_back(labels);
        return answer;
    });
}

namespace {

bool RecordFileDialog(wxDialog* dialog, std::vector<DialogScript::FileDialogSeen>& seen, wxFileDialog*& out) {
    out = dynamic_cast<wxFileDialog*>(dialog);
    if (out == nullptr) {
        ADD_FAILURE() << "expected a file dialog, got \"" << ToStd(dialog->GetTitle()) << "\"";
        return false;
    }
    seen.push_back({ToStd(out->GetMessage()), ToStd(out->GetWildcard()), out->GetWindowStyle(),
                    ToStd(out->GetDirectory()), ToStd(out->GetFilename()), out->GetFilterIndex()});
    return true;
}

}  // namespace

void DialogScript::ExpectFile(const std::string& path, std::function<void()> afterChoosing) {
    Expect([this, path, afterChoosing](wxDialog* dialog) {
        wxFileDialog* files = nullptr;
        if (!RecordFileDialog(dialog, fileDialogs, files)) return static_cast<int>(wxID_CANCEL);
        // GTK takes the path asynchronously: wait until the dialog reports it.
        const wxString wanted = wxString::FromUTF8(path);
        files->SetPath(wanted);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (files->GetPath() != wanted && std::chrono::steady_clock::now() < deadline) {
            wxTheApp->Yield(true);
            wxMilliSleep(1);
        }
        EXPECT_EQ(ToStd(files->GetPath()), path);
        if (afterChoosing) afterChoosing();
        return static_cast<int>(wxID_OK);
    });
}

void DialogScript::ExpectFolder(const std::string& folder) {
    Expect([folder](wxDialog* dialog) {
        auto* folders = dynamic_cast<wxDirDialog*>(dialog);
        if (folders == nullptr) {
            ADD_FAILURE() << "expected a folder dialog, got \"" << ToStd(dialog->GetTitle()) << "\"";
            return static_cast<int>(wxID_CANCEL);
        }
        // GTK's chooser takes the folder asynchronously and gives the path
        // only when it is accepted: accept it as OK does until it has it.
        const wxString wanted = wxString::FromUTF8(folder);
        folders->SetPath(wanted);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (folders->GetPath() != wanted && std::chrono::steady_clock::now() < deadline) {
            wxTheApp->Yield(true);
            wxMilliSleep(1);
            folders->GTKOnAccept();
        }
        EXPECT_EQ(ToStd(folders->GetPath()), folder);
        return static_cast<int>(wxID_OK);
    });
}

void DialogScript::ExpectCancelledFile() {
    Expect([this](wxDialog* dialog) {
        wxFileDialog* files = nullptr;
        RecordFileDialog(dialog, fileDialogs, files);
        return static_cast<int>(wxID_CANCEL);
    });
}

int DialogScript::Enter(wxDialog* dialog) {
    if (answers_.empty()) {
        std::string what = ToStd(dialog->GetTitle());
        if (auto* box = dynamic_cast<wxMessageDialog*>(dialog)) what = ToStd(box->GetMessage());
        ADD_FAILURE() << "unexpected dialog: " << what;
        return wxID_CANCEL;
    }
    Answer answer = std::move(answers_.front());
    answers_.pop_front();
    return answer(dialog);
}

std::vector<wxWindow*> WindowProbe::AllControls() const {
    // Not the gauge, which shows only while a script is read.
    std::vector<wxWindow*> controls = {Heading(),       List(),        Path(),       OpenButton(),
                                       SaveButton(),    CloseButton(), GameChoice(), PadChoice(),
                                       GameKeyChoice(), VkeyChoice(),  Credit(),     KeyMapButton()};
    // The labels beside the choices, which tests find by their text.
    for (const char* label : {"&Game", "&Pad", "Game &Key", "&VKey"})
        controls.push_back(wxWindow::FindWindowByLabel(label, f));
    return controls;
}

wxMenuItem* WindowProbe::MenuItem(int id) const {
    UpdateUi();
    return f->GetMenuBar()->FindItem(id);
}

int WindowProbe::MenuId(const char* menu, const char* item) const {
    const int id = f->GetMenuBar()->FindMenuItem(menu, item);
    EXPECT_NE(id, wxNOT_FOUND) << "no menu item " << item;
    return id;
}

void WindowProbe::Click(wxButton* button) const {
    ASSERT_TRUE(button->IsEnabled()) << ToStd(button->GetLabel()) << " is disabled";
    wxCommandEvent event(wxEVT_BUTTON, button->GetId());
    event.SetEventObject(button);
    button->ProcessWindowEvent(event);
}

void WindowProbe::Choose(wxChoice* choice, int item) const {
    ASSERT_TRUE(choice->IsEnabled()) << "choice is disabled";
    choice->SetSelection(item);
    wxCommandEvent event(wxEVT_CHOICE, choice->GetId());
    event.SetEventObject(choice);
    event.SetInt(item);
    event.SetString(choice->GetString(static_cast<unsigned>(item)));
    choice->ProcessWindowEvent(event);
}

void WindowProbe::SelectLine(int line) const {
    TestList* list = List();
    ASSERT_TRUE(list->IsEnabled());
    ASSERT_LT(line, list->GetItemCount());
    list->SelectRow(line);
    wxListEvent event(wxEVT_LIST_ITEM_SELECTED, list->GetId());
    event.SetEventObject(list);
    event.m_itemIndex = line;
    list->ProcessWindowEvent(event);
}

void WindowProbe::ClickColumn(int column) const {
    TestList* list = List();
    wxListEvent event(wxEVT_LIST_COL_CLICK, list->GetId());
    event.SetEventObject(list);
    event.m_col = column;
    list->ProcessWindowEvent(event);
}

void WindowProbe::CloseWindow() const { f->Close(false); }

std::vector<std::string> WindowProbe::Lines() const {
    std::vector<std::string> lines;
    TestList* list = List();
    if (!list->IsShown()) return lines;
    for (long row = 0; row < list->GetItemCount(); ++row) {
        std::string line;
        for (int column = 0; column < TestList::kColumnCount; ++column) {
            const std::string cell = ToStd(list->GetItemText(row, column));
            if (cell.empty()) continue;
            line += (line.empty() ? "" : " \u00B7 ") + cell;
        }
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> WindowProbe::Names() const {
    std::vector<std::string> names;
    TestList* list = List();
    if (!list->IsShown()) return names;
    for (long row = 0; row < list->GetItemCount(); ++row)
        names.push_back(ToStd(list->GetItemText(row, TestList::kKeyColumn)));
    return names;
}

std::string WindowProbe::Enabled() const {
    std::string states;
    for (wxWindow* w : std::initializer_list<wxWindow*>{OpenButton(), SaveButton(), CloseButton(), GameChoice(),
                                                        PadChoice(), GameKeyChoice(), VkeyChoice()})
        states += w->IsEnabled() ? '1' : '0';
    return states;
}

void WindowProbe::Open(const std::string& file, int messages) const {
    DialogScript::Get().ExpectFile(file);
    for (int i = 0; i < messages; ++i) DialogScript::Get().ExpectMessage();
    Click(OpenButton());
    EXPECT_EQ(DialogScript::Get().Pending(), 0u);
}

void WindowProbe::Save(const std::string& file, int messages) const {
    DialogScript::Get().ExpectFile(file);
    for (int i = 0; i < messages; ++i) DialogScript::Get().ExpectMessage();
    Click(SaveButton());
    EXPECT_EQ(DialogScript::Get().Pending(), 0u);
}

void WindowProbe::Menu(int id) const {
    wxMenuItem* item = MenuItem(id);
    ASSERT_NE(item, nullptr) << "no menu item " << id;
    ASSERT_TRUE(item->IsEnabled()) << ToStd(item->GetItemLabelText()) << " is disabled";
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(f);
    f->ProcessWindowEvent(event);
}

void WindowProbe::PressKey(int keyCode, unsigned rawKeyCode, unsigned rawFlags, int modifiers) const {
    wxKeyEvent event(wxEVT_CHAR_HOOK);
    event.m_keyCode = keyCode;
    event.m_rawCode = rawKeyCode;
    event.m_rawFlags = rawFlags;
    event.SetControlDown((modifiers & wxMOD_CONTROL) != 0);
    event.SetShiftDown((modifiers & wxMOD_SHIFT) != 0);
    event.SetAltDown((modifiers & wxMOD_ALT) != 0);
    event.SetEventObject(f);
    f->ProcessWindowEvent(event);
}

void WindowProbe::ReleaseKey(int keyCode) const {
    wxPanel* prompt = KeyPrompt();
    wxKeyEvent event(wxEVT_KEY_UP);
    event.m_keyCode = keyCode;
    event.SetEventObject(prompt);
    prompt->ProcessWindowEvent(event);
}

void ChangeAllDialogProbe::Type(const std::string& text) const {
    auto* field = dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowByName("changeAllFind", d));
    ASSERT_NE(field, nullptr);
    field->ChangeValue(wxString::FromUTF8(text));
    wxCommandEvent event(wxEVT_TEXT, field->GetId());
    event.SetEventObject(field);
    field->ProcessWindowEvent(event);
}

void ChangeAllDialogProbe::Key(int keyCode) const {
    wxKeyEvent event(wxEVT_CHAR_HOOK);
    event.m_keyCode = keyCode;
    event.SetEventObject(d);
    d->ProcessWindowEvent(event);
}

void ChangeAllDialogProbe::Click(wxButton* button) const {
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->IsEnabled()) << ToStd(button->GetLabel()) << " is disabled";
    wxCommandEvent event(wxEVT_BUTTON, button->GetId());
    event.SetEventObject(button);
    button->ProcessWindowEvent(event);
}

std::vector<std::string> ChangeAllDialogProbe::Shown() const {
    auto* list = dynamic_cast<wxListBox*>(wxWindow::FindWindowByName("changeAllKeys", d));
    std::vector<std::string> shown;
    if (list == nullptr) return shown;
    for (unsigned row = 0; row < list->GetCount(); ++row) shown.push_back(ToStd(list->GetString(row)));
    return shown;
}

std::string ChangeAllDialogProbe::Hint() const {
    auto* hint = dynamic_cast<wxStaticText*>(wxWindow::FindWindowByName("changeAllHint", d));
    return hint == nullptr ? std::string() : ToStd(hint->GetLabel());
}

void WindowProbe::Filter(const std::string& text, int kind) const {
    KindFilter()->SetSelection(kind);
    wxSearchCtrl* filter = FilterText();
    filter->ChangeValue(wxString::FromUTF8(text));
    wxCommandEvent event(wxEVT_TEXT, filter->GetId());
    event.SetEventObject(filter);
    event.SetString(filter->GetValue());
    filter->ProcessWindowEvent(event);
}

bool WindowProbe::Screenshot(const std::string& name) const { return ScreenshotOf(f, name); }

bool ScreenshotOf(wxWindow* f, const std::string& name) {
    if (gScreenshotFolder.empty()) return false;
    std::filesystem::create_directories(gScreenshotFolder);
    f->Show();
    f->Raise();
    f->Update();
    for (int i = 0; i < 20; ++i) {
        wxTheApp->Yield(true);
        wxMilliSleep(10);
    }
    const wxSize size = f->GetClientSize();
    wxBitmap bitmap(size.x, size.y, 24);
    wxMemoryDC memory(bitmap);
    wxClientDC window(f);
    memory.Blit(0, 0, size.x, size.y, &window, 0, 0);
    memory.SelectObject(wxNullBitmap);
    return bitmap.SaveFile(wxString::FromUTF8(gScreenshotFolder + "/" + name), wxBITMAP_TYPE_PNG);
}

bool ScreenshotWithMenus(wxWindow* f, const std::string& name) {
    if (gScreenshotFolder.empty()) return false;
    ScreenshotOf(f, name);  // shown and drawn first
    // The screen as the X server has it (the toolkit's own copy of the screen
    // may still hold windows closed before), cut to the window.
    const wxRect area = f->GetScreenRect();
    const std::string command = "import -window root -crop " + std::to_string(area.width) + "x" +
                                std::to_string(area.height) + "+" + std::to_string(area.x) + "+" +
                                std::to_string(area.y) + " +repage '" + gScreenshotFolder + "/" + name + "'";
    return std::system(command.c_str()) == 0;
}

std::vector<std::string> WindowProbe::ConflictLines() const {
    std::vector<std::string> lines;
    wxTreeCtrl* tree = conflictList();
    wxTreeItemIdValue headingCookie;
    for (wxTreeItemId heading = tree->GetFirstChild(tree->GetRootItem(), headingCookie); heading.IsOk();
         heading = tree->GetNextChild(tree->GetRootItem(), headingCookie)) {
        lines.push_back(ToStd(tree->GetItemText(heading)));
        wxTreeItemIdValue cookie;
        for (wxTreeItemId item = tree->GetFirstChild(heading, cookie); item.IsOk();
             item = tree->GetNextChild(heading, cookie))
            lines.push_back("  " + ToStd(tree->GetItemText(item)));
    }
    return lines;
}

void WindowProbe::ActivateConflictLine(const std::string& line) const {
    wxTreeCtrl* tree = conflictList();
    const std::string text = line.rfind("  ", 0) == 0 ? line.substr(2) : line;
    wxTreeItemId found;
    const std::function<void(const wxTreeItemId&)> search = [&](const wxTreeItemId& parent) {
        wxTreeItemIdValue cookie;
        for (wxTreeItemId item = tree->GetFirstChild(parent, cookie); item.IsOk() && !found.IsOk();
             item = tree->GetNextChild(parent, cookie)) {
            if (ToStd(tree->GetItemText(item)) == text &&
                (tree->GetItemParent(item) == tree->GetRootItem()) == (text == line))
                found = item;
            else
                search(item);
        }
    };
    search(tree->GetRootItem());
    ASSERT_TRUE(found.IsOk()) << "no line " << line;
    tree->SelectItem(found);
    wxTreeEvent event(wxEVT_TREE_ITEM_ACTIVATED, tree, found);
    tree->ProcessWindowEvent(event);
}

void WindowProbe::PickKeyMapFolder(const std::string& folder) const {
    wxDirPickerCtrl* picker = keyMapFolder();
    const wxString path = wxString::FromUTF8(folder);
    picker->SetPath(path);
    wxFileDirPickerEvent event(wxEVT_DIRPICKER_CHANGED, picker, picker->GetId(), path);
    picker->ProcessWindowEvent(event);
}

void WindowTest::SetUp() {
    DialogScript::Get().Reset();
    wxConfigBase::Get()->DeleteGroup("/Window");   // each window starts at its laid-out size
    wxConfigBase::Get()->DeleteGroup("/Opcodes");  // and no opcode files are chosen
    wxConfigBase::Get()->Flush();                  // also for a start that reads the configuration anew
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    previousDirectory = cwd;
    for (const char* ini : {"SCM.ini", "VICESCM.ini", "SASCM.ini"})
        std::filesystem::copy_file(DemoFile(ini), dir.File(ini));
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
}

void WindowTest::TearDown() {
    DestroyWindow();
    EXPECT_EQ(DialogScript::Get().Pending(), 0u) << "expected dialogs that never came";
    DialogScript::Get().Reset();
    ASSERT_EQ(chdir(previousDirectory.c_str()), 0);
}

WindowProbe& WindowTest::Window() {
    if (!probe) {
        frame = new MainFrame(nullptr);
        probe = std::make_unique<WindowProbe>(frame);
    }
    return *probe;
}

void WindowTest::DestroyWindow() {
    if (frame != nullptr) {
        delete frame;
        frame = nullptr;
        probe.reset();
    }
}

std::string WindowTest::DemoFile(const std::string& name) const {
    return std::string(MORVANE_SOURCE_DIR) + "/demo/" + name;
}

std::string WindowTest::Copy(const std::string& demoName, const std::string& as) const {
    const std::string target = dir.File(as.empty() ? demoName : as);
    std::filesystem::copy_file(DemoFile(demoName), target, std::filesystem::copy_options::overwrite_existing);
    return target;
}

}  // namespace morvane::test
