#pragma once
// The desktop's file and folder pickers.

// inType 0 open, 1 save (outFileName carries the proposed name in), 2 choose a folder. True when the user
// confirmed a choice; outFileName (at least 512 characters) then holds it in the path convention, a folder
// with its trailing separator.
bool GetFilePathFromUser(int inType, const char* inPrompt, const char* inAction, int inID, const char* inDefaultDir,
                         char* outFileName);
