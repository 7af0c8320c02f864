#pragma once

class RichDocument;

enum class TParaAlignment { paLeftJustify, paRightJustify, paCenter, paJustify };
enum class TNumberingStyle { nsNone, nsBullet };

// Paragraph attributes of a note document's selection. Reading gives the first
// paragraph the selection touches, writing changes every one of them. Indents
// and spaces are whole points (fractions dropped on reading).
class TJvParaAttributes
{
public:
    explicit TJvParaAttributes(RichDocument &document);
    TJvParaAttributes(const TJvParaAttributes &) = delete;
    TJvParaAttributes &operator=(const TJvParaAttributes &) = delete;

    TParaAlignment Alignment() const;
    void setAlignment(TParaAlignment alignment);
    // nsNone also sets LeftIndent to 0; nsBullet raises LeftIndent to 10 when below.
    TNumberingStyle Numbering() const;
    void setNumbering(TNumberingStyle numbering);
    // The first line's distance from the left margin.
    int FirstIndent() const;
    void setFirstIndent(int points);
    // The other lines' distance from the first line; may be negative.
    int LeftIndent() const;
    void setLeftIndent(int points);
    int SpaceBefore() const;
    void setSpaceBefore(int points);
    int SpaceAfter() const;
    void setSpaceAfter(int points);

private:
    template <typename Change>
    void change(Change &&change);

    RichDocument &m_document;
};
