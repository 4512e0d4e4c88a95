// The portable program entry: the same on Windows and on the sandbox.
#pragma once

#include "forms/Application.h"
#include "platform/Platform.h"

struct SetupContext;

// Sets the title and creates the eight windows in their order into `context.forms`.
void CreateSetupForms(SetupContext& context);

// Sets the title, creates the eight windows in their order, runs the message loop and
// returns the exit code when it ends.
int RunSetup(forms::Application& app, platform::Platform& platform);
