#include "note/notecalculator.h"

#include "calcdriver/calcdriver.h"

namespace {

// The calculation driver bound to the note's document; it owns the note's parser, whose
// display settings last as long as the frame.
class DriverCalculator : public NoteCalculator
{
public:
    explicit DriverCalculator(RichDocument &document)
        : m_driver(&document)
    {}
    void Parse() override { m_driver.Parse(); }
    void ClearResults() override { m_driver.ClearResults(); }

private:
    TCalcDriver m_driver;
};

} // namespace

std::unique_ptr<NoteCalculator> createNoteCalculator(RichDocument &document)
{
    return std::make_unique<DriverCalculator>(document);
}
