#include "race/WindowState.h"

#include "data/DelimitedText.h"

namespace halvex {

QByteArray windowStateLine(const WindowState& s)
{
    DelimitedWriter out;
    out.text(s.ClassName)
        .integer(s.TreeIndex)
        .text(s.RacerLeft)
        .text(s.RacerRight)
        .text(s.CarLeft)
        .text(s.CarRight)
        .boolean(s.SpareFlag)
        .boolean(s.AutoPrintSlip)
        .integer(s.CreditsColour)
        .single(s.SpareValue)
        .boolean(s.DemoMode)
        .single(s.DialInLeft)
        .single(s.DialInRight)
        .endLine();
    return out.bytes();
}

void readWindowState(const QByteArray& bytes, WindowState& s)
{
    DelimitedReader in(bytes);
    s.ClassName = in.text();
    s.TreeIndex = in.integer16();
    s.RacerLeft = in.text();
    s.RacerRight = in.text();
    s.CarLeft = in.text();
    s.CarRight = in.text();
    s.SpareFlag = in.boolean();
    s.AutoPrintSlip = in.boolean();
    s.CreditsColour = in.integer32();
    s.SpareValue = in.single();
    s.DemoMode = in.boolean();
    s.DialInLeft = in.single();
    s.DialInRight = in.single();
}

} // namespace halvex
