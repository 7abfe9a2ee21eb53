#pragma once
// Tests that draw text or use the clipboard need a QGuiApplication; this makes one
// (offscreen) for the whole test binary.
class QGuiApplication;

QGuiApplication& TestGuiApplication();
