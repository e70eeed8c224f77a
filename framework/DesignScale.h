#pragma once
// The program's own windows are laid out in pixels at the design density of 120 pixels per
// inch and follow the screen's density (the About box alone keeps its pixels).

constexpr int kDesignPixelsPerInch = 120;

class TDesignScale {
public:
    explicit TDesignScale(int pixelsPerInch) : PixelsPerInch(pixelsPerInch) {}
    // A length in design pixels at this density, to the nearest pixel.
    int operator()(int designPixels) const;

private:
    int PixelsPerInch;
};
