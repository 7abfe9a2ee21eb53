#pragma once
// The buttons of the melody page that rewrite texts: "Changement" and "> Fonctions".

// "Changement" (Button6): in every note cell of the melody grid the first occurrence of the
// scale letter Edit23 becomes Edit24; the two letters then change places, so that a second
// click moves the notes back; then the picture is redrawn.
void ChangeScale();

// "> Fonctions" (Button11): the notes of the last melody column whose time reads exactly as
// Edit28 become sine terms of f to k, one note each, and of l, the seventh and later notes
// joined by "+"; f to l are emptied first. Then the first page shows and the picture is
// redrawn.
void ChordToFunctions();
