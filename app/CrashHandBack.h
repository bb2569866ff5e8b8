#pragma once
// When the program dies of an unhandled exception, the cards are not left
// as it set them: a fan at a fixed speed would go on with nothing watching
// the temperature. One best-effort pass hands them back, then the system
// ends the process as it would have.

class Application;

void HandCardsBackOnCrash(Application* app);
