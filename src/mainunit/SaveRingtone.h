#pragma once
// The work folder the export runs its converter in.

// Sets WorkDir and WorkDirProblem and, when the folder is safe, writes the
// converter into it. The window does so at its start, "velumo --save" before
// it saves.
void PrepareWorkPlace();
