#include "app/app_state.h"

int windowWidth = 800;
int windowHeight = 600;
int overlayScale = 1;
int quitRequested = 0;

float bumpScale = 0.5f;
float yawDegrees = 0.0f;
float pitchDegrees = 0.0f;
float zoomOffset = 0.0f;
int viewFramed = 0;
float viewCentre[3] = {0.0f, 0.0f, 0.0f};
Quaternion rotationQuaternion = {1.0f, 0.0f, 0.0f, 0.0f};
Matrix4 rotationMatrix = {};

Model model = {};
int modelLoaded = 0;

GLuint baseTexture = 0;
GLuint normalMapTexture = 0;
GLuint environmentCubeMap = 0;
GLuint diffuseCubeMap = 0;
GLuint fontTexture = 0;

GLuint vertexShader = 0;
GLuint fragmentShader = 0;
GLuint eyePositionInvariant = 0;
GLuint bumpScaleInvariant = 0;

float framesPerSecond = 0.0f;
int fpsFrameCount = 0;
int64_t fpsCounterFrequency = 0;
int64_t fpsLastCounter = 0;

ScreenPoint dragAnchor = {0, 0};
