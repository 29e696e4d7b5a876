#pragma once
// The rig report: a comma-separated file that describes the theatre for the console side
// (reference points on the stage, the box size, one row per riser, truss and light with its
// handle, patch, placement, and for lights the DMX values that aim them at the reference
// points). Export writes it from a theatre; import updates the objects it names and adds the
// others. Both report problems through the log and never throw.
#include <string>

namespace lmv {

class Theatre;

// Writes the report of the theatre to path, replacing the file only once it is complete.
// False (with "Could not open report file <path>" logged) when it cannot be written.
bool exportReport(Theatre& theatre, const std::string& path);

// Reads a report into the theatre. Afterwards its undo history is a new, empty one and the
// theatre counts as unmodified, so the import can be neither undone nor lost on "Save
// changes?". False (with "Could not open report file <path>" logged) when the file cannot
// be opened; bad lines and rows are logged and skipped, the rest is still read.
bool importReport(Theatre& theatre, const std::string& path);

}  // namespace lmv
