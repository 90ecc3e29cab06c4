// What the main frame's folder watchers do while the program changes files itself.
#pragma once

enum class WatchMode : int {
    // Both watchers follow the shown folder and its changes refresh the document.
    Watching = 0,
    // The shown folder's watcher stops (its own deletions need no refresh); the drive's stays.
    RootOnly = 1,
    // The watchers keep running but what they see refreshes nothing.
    Paused = 2,
    // Both watchers run even with monitoring off, and what they see refreshes nothing until
    // watching resumes (a shell menu's changes must not be missed).
    ForcedPaused = 5,
};

// Lets windows below the frame pause the watchers without knowing the frame.
class FolderWatchHost
{
public:
    // Returns the mode it replaces.
    virtual WatchMode SetWatchMode(WatchMode mode) = 0;

protected:
    ~FolderWatchHost() = default;
};
