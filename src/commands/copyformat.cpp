#include "commands/copyformat.h"

#include "crypt/textroutines.h"
#include "richtext/richdocument.h"

void CopyFormat::run(RichDocument &editor)
{
    const bool extended = IsBlank(editor.SelText());
    if (extended)
        editor.setSelLength(1);

    TJvTextAttributes &attributes = editor.SelAttributes();
    if (!m_selFormat) {
        m_selFormat = Format{attributes.Name(), attributes.Size(), attributes.Color()};
    } else {
        attributes.setName(m_selFormat->Name);
        attributes.setSize(m_selFormat->Size);
        attributes.setColor(m_selFormat->Color);
        m_selFormat.reset();
    }

    if (extended)
        editor.setSelLength(0);
}
