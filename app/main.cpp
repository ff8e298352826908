// Entry point: the command line, the settings dialog, then the player.
// Every fatal error arrives here as a thrown wide message, is shown and ends the process.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <new>

#include "makers/Capture.h"
#include "makers/DataCheck.h"
#include "core/IWindow.h"
#include "app/Options.h"
#include "app/Player.h"
#include "app/SettingsDialog.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/Text.h"

namespace {

// Shows the message and ends the process at once, cleaning nothing up; the exit code tells
// scripts that the run failed.
[[noreturn]] void Fatal(IWindow* window, const std::wstring& message)
{
    Platform::ShowMessageBox(window ? window->GetHandle() : nullptr, L"Korvanta demo system", message);
    std::fflush(stdout);
    std::_Exit(1);
}

}  // namespace

int main(int argc, char** argv)
{
    Process::Start();
    const std::vector<std::string> arguments = Process::Arguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());

    Options options;
    const std::string problem = ParseOptions(static_cast<int>(pointers.size()), pointers.data(), options);
    if (!problem.empty()) {
        // The problem quotes the argument: shown escaped, so an option cannot drive the terminal.
        std::fprintf(stderr, "meridian: %s\n%s", Text::Shown(problem).c_str(), Usage().c_str());
        return 2;
    }
    if (options.help) {
        std::printf("%s", Usage().c_str());
        return 0;
    }
    if (options.version) {
        std::printf("meridian %s\n", KORVANTA_VERSION);
        return 0;
    }
    if (options.checkData) return RunDataCheck(options.dataPath);
    // Made up front: a missing folder would otherwise lose every capture of a long run.
    for (const std::string& folder : {options.shots.empty() ? std::string() : options.outDir, options.captureDir}) {
        if (folder.empty()) continue;
        std::error_code error;
        std::filesystem::create_directories(Files::FromUtf8(folder), error);
        if (error) {
            std::fprintf(stderr, "meridian: cannot create %s: %s\n%s", Text::Shown(folder).c_str(),
                         Text::Shown(error.message()).c_str(), Usage().c_str());
            return 2;
        }
    }

    // Held until the process ends.
    std::unique_ptr<Files::HeldLock> captureLock;
    if (!options.captureDir.empty()) {
        const std::string taken = Capture::ClaimFolder(options.captureDir, captureLock);
        if (!taken.empty()) {
            std::fprintf(stderr, "meridian: --capture %s\n", Text::Shown(taken).c_str());
            return 2;
        }
    }

    // Outside the try block: a fatal error ends the process without unwinding a broken player.
    std::unique_ptr<Player> player;
    try {
        Settings settings;
        if (options.skipDialog) {
            settings.accepted = true;
            settings.width = options.width;
            settings.height = options.height;
            settings.fullscreen = options.fullscreen;
            settings.aspectRatio = options.aspectRatio;
        } else {
            settings = RunSettingsDialog();
            if (options.aspectRatio > 0) settings.aspectRatio = options.aspectRatio;
        }
        if (!settings.accepted) return 0;
        player = std::make_unique<Player>(settings, options);
        return player->Run();
    } catch (const wchar_t* message) {
        Fatal(player ? player->GetWindow() : nullptr, message);
    } catch (const std::bad_alloc&) {
        Fatal(player ? player->GetWindow() : nullptr, L"Out of memory.");
    } catch (const std::exception& error) {
        // A library's own failure (memory, file system) ends the run the same way, not in an abort.
        Fatal(player ? player->GetWindow() : nullptr, Text::FromUtf8(error.what()));
    } catch (...) {
        Fatal(player ? player->GetWindow() : nullptr, L"The demo ended on an error of unknown kind.");
    }
}
