#include "richtext/rtfword.h"

#include <array>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// Control words by name. RTF words are short lowercase ASCII: a handful of
// candidates share a first letter and a length.
class WordTable
{
public:
    WordTable(std::initializer_list<std::pair<std::string_view, RtfWord>> entries)
    {
        for (const auto &entry : entries)
            m_buckets[bucket(entry.first)].push_back(entry);
    }

    std::optional<RtfWord> find(QByteArrayView name) const
    {
        if (name.isEmpty() || name.size() > MaxLength || name.front() < 'a' || name.front() > 'z')
            return std::nullopt;
        const std::string_view key(name.data(), size_t(name.size()));
        for (const auto &[candidate, word] : m_buckets[bucket(key)]) {
            if (sameTail(candidate, key))
                return word;
        }
        return std::nullopt;
    }

private:
    static constexpr qsizetype MaxLength = 20;
    // Whether two names of one bucket (one first letter, one length) are the same. For names
    // this short a loop is faster than a call to memcmp, and every word of a note is looked up.
    static bool sameTail(std::string_view a, std::string_view b)
    {
        for (size_t i = 1; i < a.size(); ++i) {
            if (a[i] != b[i])
                return false;
        }
        return true;
    }
    static size_t bucket(std::string_view name)
    {
        return size_t(name.front() - 'a') * (MaxLength + 1) + name.size();
    }

    std::array<std::vector<std::pair<std::string_view, RtfWord>>, 26 * (MaxLength + 1)> m_buckets;
};

const WordTable &words()
{
    static const WordTable table = {
        {"fonttbl", RtfWord::Fonttbl},
        {"colortbl", RtfWord::Colortbl},
        {"pict", RtfWord::Pict},
        {"object", RtfWord::Object},
        {"result", RtfWord::Result},
        {"field", RtfWord::Field},
        {"fldinst", RtfWord::Fldinst},
        {"fldrslt", RtfWord::Fldrslt},
        {"pn", RtfWord::Pn},
        {"shppict", RtfWord::Shppict},
        // Destinations whose text is no part of the document.
        {"nonshppict", RtfWord::SkipGroup},
        {"pntext", RtfWord::SkipGroup},
        {"listtext", RtfWord::ListText},
        {"stylesheet", RtfWord::StyleSheet},
        {"s", RtfWord::ParagraphStyle},
        {"cs", RtfWord::CharacterStyle},
        {"sbasedon", RtfWord::BasedOn},
        {"info", RtfWord::SkipGroup},
        {"header", RtfWord::SkipGroup},
        {"headerl", RtfWord::SkipGroup},
        {"headerr", RtfWord::SkipGroup},
        {"headerf", RtfWord::SkipGroup},
        {"footer", RtfWord::SkipGroup},
        {"footerl", RtfWord::SkipGroup},
        {"footerr", RtfWord::SkipGroup},
        {"footerf", RtfWord::SkipGroup},
        {"footnote", RtfWord::SkipGroup},
        {"annotation", RtfWord::SkipGroup},
        {"atnid", RtfWord::SkipGroup},
        {"atnauthor", RtfWord::SkipGroup},
        {"listtable", RtfWord::ListTableWord},
        {"listoverridetable", RtfWord::ListOverrideTableWord},
        {"list", RtfWord::ListDefinition},
        {"listlevel", RtfWord::ListLevel},
        {"levelnfc", RtfWord::LevelNumbering},
        {"levelnfcn", RtfWord::LevelNumbering},
        {"listid", RtfWord::ListId},
        {"listoverride", RtfWord::ListOverrideEntry},
        {"levelstartat", RtfWord::LevelStartAt},
        {"leveltext", RtfWord::LevelText},
        {"nesttableprops", RtfWord::NestTableProps},
        // The plain text of nested tables for readers that do not know them.
        {"nonesttables", RtfWord::SkipGroup},
        {"revtbl", RtfWord::SkipGroup},
        {"falt", RtfWord::SkipGroup},
        {"objdata", RtfWord::SkipGroup},
        {"objclass", RtfWord::SkipGroup},
        {"xe", RtfWord::SkipGroup},
        {"tc", RtfWord::SkipGroup},
        {"txe", RtfWord::SkipGroup},
        {"rxe", RtfWord::SkipGroup},
        {"bkmkstart", RtfWord::SkipGroup},
        {"bkmkend", RtfWord::SkipGroup},
        {"author", RtfWord::SkipGroup},
        {"operator", RtfWord::SkipGroup},
        {"title", RtfWord::SkipGroup},
        {"subject", RtfWord::SkipGroup},
        {"keywords", RtfWord::SkipGroup},
        {"comment", RtfWord::SkipGroup},
        {"doccomm", RtfWord::SkipGroup},
        {"pnseclvl", RtfWord::SkipGroup},
        {"template", RtfWord::SkipGroup},
        {"ftnsep", RtfWord::SkipGroup},
        {"ftnsepc", RtfWord::SkipGroup},
        {"ftncn", RtfWord::SkipGroup},
        {"aftnsep", RtfWord::SkipGroup},
        {"aftnsepc", RtfWord::SkipGroup},
        {"aftncn", RtfWord::SkipGroup},
        {"rsidtbl", RtfWord::SkipGroup},
        {"generator", RtfWord::SkipGroup},
        {"filetbl", RtfWord::SkipGroup},
        {"background", RtfWord::SkipGroup},
        // Word writes these without \* although they hold no document text.
        {"xmlnstbl", RtfWord::SkipGroup},
        {"themedata", RtfWord::SkipGroup},
        {"latentstyles", RtfWord::SkipGroup},
        {"datastore", RtfWord::SkipGroup},
        {"colorschememapping", RtfWord::SkipGroup},
        {"mmathPr", RtfWord::SkipGroup},
        {"wgrffmtfilter", RtfWord::SkipGroup},
        {"pgdsctbl", RtfWord::SkipGroup},
        {"fchars", RtfWord::SkipGroup},
        {"lchars", RtfWord::SkipGroup},
        {"userprops", RtfWord::SkipGroup},
        {"docvar", RtfWord::SkipGroup},
        {"upr", RtfWord::Upr},
        {"ud", RtfWord::Ud},
        {"v", RtfWord::Hidden},
        {"nouicompat", RtfWord::NoUiCompat},
        {"ansicpg", RtfWord::Ansicpg},
        {"ansi", RtfWord::Ansi},
        {"mac", RtfWord::Mac},
        {"pc", RtfWord::Pc},
        {"pca", RtfWord::Pca},
        {"deff", RtfWord::Deff},
        {"fcharset", RtfWord::Fcharset},
        {"cpg", RtfWord::Cpg},
        {"red", RtfWord::Red},
        {"green", RtfWord::Green},
        {"blue", RtfWord::Blue},
        {"plain", RtfWord::Plain},
        {"b", RtfWord::Bold},
        {"i", RtfWord::Italic},
        {"strike", RtfWord::Strike},
        {"striked", RtfWord::Strike},
        {"ul", RtfWord::Underline},
        {"ulw", RtfWord::UnderlineWord},
        {"uldb", RtfWord::UnderlineDouble},
        {"uld", RtfWord::UnderlineDotted},
        {"ulldash", RtfWord::UnderlineDash},
        {"uldash", RtfWord::UnderlineDash},
        {"uldashd", RtfWord::UnderlineDashDot},
        {"uldashdd", RtfWord::UnderlineDashDotDot},
        {"ulwave", RtfWord::UnderlineWave},
        {"ulhwave", RtfWord::UnderlineWave},
        {"ululdbwave", RtfWord::UnderlineWave},
        {"ulth", RtfWord::UnderlineThick},
        {"ulthd", RtfWord::UnderlineThick},
        {"ulthdash", RtfWord::UnderlineThick},
        {"ulthdashd", RtfWord::UnderlineThick},
        {"ulthdashdd", RtfWord::UnderlineThick},
        {"ulthldash", RtfWord::UnderlineThick},
        {"ulnone", RtfWord::UnderlineNone},
        {"ulc", RtfWord::UnderlineColor},
        {"sub", RtfWord::Sub},
        {"super", RtfWord::Super},
        {"nosupersub", RtfWord::NoSuperSub},
        {"up", RtfWord::Up},
        {"dn", RtfWord::Down},
        {"caps", RtfWord::Caps},
        {"scaps", RtfWord::SmallCaps},
        {"outl", RtfWord::Outline},
        {"fs", RtfWord::FontSize},
        {"f", RtfWord::FontIndex},
        {"af", RtfWord::AssociatedFont},
        {"loch", RtfWord::LowAnsi},
        {"hich", RtfWord::HighAnsi},
        {"dbch", RtfWord::DoubleByte},
        {"cf", RtfWord::Foreground},
        {"highlight", RtfWord::Background},
        {"cb", RtfWord::Background},
        {"chcbpat", RtfWord::Background},
        {"pard", RtfWord::Pard},
        {"par", RtfWord::Par},
        {"sect", RtfWord::Par},
        {"page", RtfWord::Par},
        {"intbl", RtfWord::InTable},
        {"row", RtfWord::Row},
        {"nestrow", RtfWord::NestedRow},
        {"trowd", RtfWord::RowDefaults},
        {"trleft", RtfWord::RowLeft},
        {"cellx", RtfWord::CellRight},
        {"clmgf", RtfWord::CellMergeFirst},
        {"clmrg", RtfWord::CellMerged},
        {"clvmgf", RtfWord::CellMergeDownFirst},
        {"clvmrg", RtfWord::CellMergedDown},
        {"ql", RtfWord::Left},
        {"qc", RtfWord::Centre},
        {"qr", RtfWord::Right},
        {"qj", RtfWord::Justify},
        {"qd", RtfWord::Justify},
        {"li", RtfWord::LeftIndent},
        {"lin", RtfWord::LeftIndent},
        {"fi", RtfWord::FirstIndent},
        {"ri", RtfWord::RightIndent},
        {"rin", RtfWord::RightIndent},
        {"sb", RtfWord::SpaceBefore},
        {"sa", RtfWord::SpaceAfter},
        {"sl", RtfWord::LineSpacing},
        {"slmult", RtfWord::LineMultiple},
        {"ls", RtfWord::ListOverride},
        {"pnlvlblt", RtfWord::PnBullet},
        {"pnlvlbody", RtfWord::PnBody},
        {"pndec", RtfWord::PnDecimal},
        {"pnlcltr", RtfWord::PnLowerLetter},
        {"pnucltr", RtfWord::PnUpperLetter},
        {"pnlcrm", RtfWord::PnLowerRoman},
        {"pnucrm", RtfWord::PnUpperRoman},
        {"pnlvlcont", RtfWord::PnContinuation},
        {"pnstart", RtfWord::PnStart},
        {"pnf", RtfWord::PnFont},
        {"pntxtb", RtfWord::PnTextBefore},
        {"pntxta", RtfWord::PnTextAfter},
        {"rtlpar", RtfWord::RightToLeftPar},
        {"ltrpar", RtfWord::LeftToRightPar},
        {"tqr", RtfWord::TabRight},
        {"tqc", RtfWord::TabCentre},
        {"tqdec", RtfWord::TabDecimal},
        {"tldot", RtfWord::TabLeaderDot},
        {"tlmdot", RtfWord::TabLeaderDot},
        {"tlhyph", RtfWord::TabLeaderHyphen},
        {"tlul", RtfWord::TabLeaderUnderline},
        {"tlth", RtfWord::TabLeaderThick},
        {"tleq", RtfWord::TabLeaderEqual},
        {"tx", RtfWord::TabPosition},
        {"tb", RtfWord::BarTab},
        {"tab", RtfWord::Tab},
        {"line", RtfWord::Line},
        {"cell", RtfWord::Cell},
        {"nestcell", RtfWord::NestedCell},
        {"emdash", RtfWord::EmDash},
        {"endash", RtfWord::EnDash},
        {"lquote", RtfWord::LeftQuote},
        {"rquote", RtfWord::RightQuote},
        {"ldblquote", RtfWord::LeftDoubleQuote},
        {"rdblquote", RtfWord::RightDoubleQuote},
        {"bullet", RtfWord::Bullet},
        {"emspace", RtfWord::EmSpace},
        {"enspace", RtfWord::EnSpace},
        {"qmspace", RtfWord::QuarterEmSpace},
        {"zwj", RtfWord::ZeroWidthJoiner},
        {"zwnj", RtfWord::ZeroWidthNonJoiner},
        {"zwbo", RtfWord::ZeroWidthBreak},
        {"ltrmark", RtfWord::LeftToRightMark},
        {"rtlmark", RtfWord::RightToLeftMark},
        {"u", RtfWord::Unicode},
        {"uc", RtfWord::UnicodeSkip},
        {"bin", RtfWord::Bin},
        {"pngblip", RtfWord::PngBlip},
        {"jpegblip", RtfWord::JpegBlip},
        {"dibitmap", RtfWord::DiBitmap},
        {"wbitmap", RtfWord::WBitmap},
        {"wmetafile", RtfWord::WMetafile},
        {"emfblip", RtfWord::EmfBlip},
        {"picw", RtfWord::PicW},
        {"pich", RtfWord::PicH},
        {"picwgoal", RtfWord::PicWGoal},
        {"pichgoal", RtfWord::PicHGoal},
        {"picscalex", RtfWord::PicScaleX},
        {"picscaley", RtfWord::PicScaleY},
        {"wbmbitspixel", RtfWord::BitsPerPixel},
        {"wbmwidthbytes", RtfWord::WidthBytes},
        {"objw", RtfWord::ObjW},
        {"objh", RtfWord::ObjH},
        {"objscalex", RtfWord::ObjScaleX},
        {"objscaley", RtfWord::ObjScaleY},
    };
    return table;
}

// Made before main: a lookup, made for every word of a note, need not check whether the
// table is made yet.
const WordTable &s_words = words();

} // namespace

std::optional<RtfWord> rtfWord(QByteArrayView name)
{
    return s_words.find(name);
}
