#pragma once

#include <QString>

class RichDocument;

// Marks the links in a note: web addresses, mail addresses, and quoted paths
// of existing files and folders become pure blue and underlined, with bold,
// italic and strike-out removed. Marking never removes a mark. The selection
// is as it was afterwards, and text already marked is left untouched, so a
// pass over a marked note changes nothing and leaves nothing to undo.
void MarkLinks(RichDocument &document);

// Marks the web and mail addresses of the paragraphs that positions from
// through to touch, as one step to undo with the edit before it: what was
// just typed or pasted. An address the caret stands right behind may still be
// being typed and is left alone.
void markAddressesIn(RichDocument &document, int from, int to);

// Marks length positions from start, unless they already are.
void markLink(RichDocument &document, int start, int length);

// The link at position (the character there): the web or mail address that
// holds it, else the quoted path of an existing file or folder around it.
// Empty when there is none.
QString linkAt(const RichDocument &document, int position);

// What a double click at the selection opens: the link at its start (in
// "write to a@b.org" only the address), else the token around it when that
// is one word or an existing path.
QString linkAtSelection(const RichDocument &document);

// The token around the selection's start: the whole run of characters
// between double quotes or line ends that holds it, spaces included.
QString tokenAtSelection(const RichDocument &document);
