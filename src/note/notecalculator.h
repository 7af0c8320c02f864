#pragma once

#include <memory>

class RichDocument;

// The note's calculator as its frame uses it: Calc evaluates the calculations
// written in the note and writes the results into it, Clear Results removes
// them again.
class NoteCalculator
{
public:
    virtual ~NoteCalculator() = default;
    virtual void Parse() = 0;
    virtual void ClearResults() = 0;
};

// The calculator bound to a note document, or none while the program has no
// calculator; the frame then offers Calc and Clear Results disabled.
std::unique_ptr<NoteCalculator> createNoteCalculator(RichDocument &document);
