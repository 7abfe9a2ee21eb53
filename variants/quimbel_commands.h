#pragma once
// Quimbel's "Normer" and "Centrer" (the buttons Button2 and Button3 of the main window).
namespace quimbel {

// "Normer": y gets the scale of x about the centre of the picture. With W x H the size of
// the image, c the middle of y.deb .. y.fin and h = (x.fin - x.deb) / 2 * H / W, y.deb
// becomes c - h and y.fin c + h; the x bounds stay. Then redraws and takes a snapshot.
// An image without width leaves the window as it is.
void ScaleOrdinatesToAbscissae();

// "Centrer": the window -10 .. 10 both ways, then "Normer", then a snapshot.
void CentreOnOrigin();

}  // namespace quimbel
