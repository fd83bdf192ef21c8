// The interface of every off-screen render target.
//
// Construction only stores sizes; the owner calls init() once, with a current GL
// context, to create the GL objects. Every bind leaves its framebuffer bound (GL
// binding state is global) until the next pass binds another one.
//
// blitToScreen() copies colour and depth to framebuffer 0 at window size.
// blitTo() copies colour and depth with nearest filtering between equal sizes; when
// the sizes differ it copies colour only, linearly filtered, because GL refuses
// linear filtering of depth.
#pragma once

class IFbo {
public:
    virtual ~IFbo() = default;
    virtual void blitToScreen();
    virtual void blitTo(IFbo& target);
    virtual void bindForWriting() = 0;
    virtual void bindForReading() = 0;
    virtual int width() = 0;
    virtual int height() = 0;
    // Creates the GL objects; true on success.
    virtual bool init() = 0;

protected:
    IFbo() = default;
    IFbo(const IFbo&) = delete;
    IFbo& operator=(const IFbo&) = delete;
};
