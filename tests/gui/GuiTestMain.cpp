// Runs the window tests inside a real wxWidgets application (under Xvfb),
// without an event loop of its own: each test drives the window directly.

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

#ifdef __WXGTK__
#include <glib.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <filesystem>

#include "app/MorvaneApp.h"
#include "gui/GuiSupport.h"

namespace {

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg) {
    ADD_FAILURE_AT(morvane::test::ToStd(file).c_str(), line)
        << "wxWidgets assertion in " << morvane::test::ToStd(func) << ": " << morvane::test::ToStd(cond) << " "
        << morvane::test::ToStd(msg);
}

#ifdef __WXGTK__
// GTK's complaints that the window uses it in a way it does not allow
// (Gtk-CRITICAL, Gtk-WARNING and the like) fail the test that caused them;
// everything else GLib logs goes where it would have gone.
GLogWriterOutput FailOnToolkitComplaint(GLogLevelFlags level, const GLogField* fields, gsize count, gpointer data) {
    const bool complaint = (level & (G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING)) != 0;
    std::string domain;
    std::string message;
    for (gsize i = 0; i < count; ++i) {
        const std::string key = fields[i].key;
        const auto* value = static_cast<const char*>(fields[i].value);
        if (value == nullptr || fields[i].length > 0) continue;  // only the texts
        if (key == "GLIB_DOMAIN") domain = value;
        if (key == "MESSAGE") message = value;
    }
    for (const char* toolkit : {"Gtk", "Gdk", "GLib-GObject", "GLib"})
        if (complaint && domain == toolkit) {
            ADD_FAILURE() << domain << ((level & G_LOG_LEVEL_CRITICAL) != 0 ? "-CRITICAL: " : "-WARNING: ") << message;
            return G_LOG_WRITER_HANDLED;
        }
    return g_log_writer_default(level, fields, count, data);
}
#endif

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const char* const kScreenshots = "--screenshots=";
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kScreenshots, std::strlen(kScreenshots)) == 0)
            morvane::test::gScreenshotFolder = std::filesystem::absolute(argv[i] + std::strlen(kScreenshots)).string();
        else
            argv[kept++] = argv[i];
    }
    argc = kept;

    // The window keeps its size and place in the user's configuration: the
    // tests' user is a folder of their own, never the real one.
    char home[] = "/tmp/morvane-gui-home-XXXXXX";
    if (mkdtemp(home) == nullptr) return 2;
    setenv("HOME", home, 1);
    setenv("XDG_CONFIG_HOME", (std::string(home) + "/.config").c_str(), 1);
    // GTK keeps its recent files there, in the folder GLib takes at start:
    // the tests' own, removed at the end.
    setenv("XDG_DATA_HOME", (std::string(home) + "/.local/share").c_str(), 1);

#ifdef __WXGTK__
    g_log_set_writer_func(FailOnToolkitComplaint, nullptr, nullptr);
#endif
    wxApp::SetInstance(new MorvaneApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot start wxWidgets (no display?)\n");
        return 2;
    }
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxSetAssertHandler(FailOnAssert);

    wxInitAllImageHandlers();
    morvane::test::DialogScript::Get();

    const int result = RUN_ALL_TESTS();
    wxEntryCleanup();
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return result;
}
