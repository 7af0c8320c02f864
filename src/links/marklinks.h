#pragma once

#include <QString>

class RichDocument;

// Marks the links in a note: web addresses, mail addresses, and quoted paths
// of existing files and folders become pure blue and underlined, with bold,
// italic and strike-out removed. Marking never removes a mark. The selection
// is as it was afterwards, and text already marked is left untouched, so a
// pass over a marked note changes nothing and leaves nothing to undo.
void MarkLinks(RichDocument &document);

// Marks length positions from start, unless they already are.
void markLink(RichDocument &document, int start, int length);

// The token around the selection's start: the whole run of characters
// between double quotes or line ends that holds it, spaces included.
QString tokenAtSelection(const RichDocument &document);
