/*
 * Preloaded into the 32-bit Wine processes that run under qemu-i386 (and
 * nowhere else). qemu hands a signal handler a frame whose trap number is -1;
 * Wine decides on the trap number which exception a fault is, so without this
 * an access violation arrives as an illegal instruction and a division by zero
 * as a floating-point fault. The library wraps the handlers Wine installs for
 * the fault signals and fills in the number the kernel would have given.
 *
 * Built with -m32 -nostdlib: the layouts below are the i386 Linux ABI.
 */

#define SIGILL 4
#define SIGBUS 7
#define SIGFPE 8
#define SIGSEGV 11
#define SA_SIGINFO 4
#define FPE_INTDIV 1
#define FPE_INTOVF 2

/* x86 exception vectors */
#define TRAP_DIVIDE 0
#define TRAP_OVERFLOW 4
#define TRAP_INVALID_OPCODE 6
#define TRAP_PAGE_FAULT 14
#define TRAP_FPU 16

typedef void (*InfoHandler)(int, void*, void*);

struct SignalAction { /* glibc's struct sigaction on i386 */
  void* handler;
  unsigned long mask[32];
  int flags;
  void (*restorer)(void);
};

struct SignalInfo { /* the head of siginfo_t */
  int number;
  int error;
  int code;
};

enum { GREGS_OFFSET = 20, REG_TRAPNO = 12 }; /* ucontext_t: flags, link, stack, then gregs */

extern void* dlsym(void* handle, const char* name);
#define RTLD_NEXT ((void*)-1l)

static InfoHandler wrapped[65];

static int TrapFor(int number, const struct SignalInfo* info) {
  switch (number) {
    case SIGFPE:
      if (info->code == FPE_INTDIV) return TRAP_DIVIDE;
      if (info->code == FPE_INTOVF) return TRAP_OVERFLOW;
      return TRAP_FPU;
    case SIGILL:
      return TRAP_INVALID_OPCODE;
    default:
      return TRAP_PAGE_FAULT;
  }
}

static void FillInTrap(int number, void* info, void* context) {
  int* trap = (int*)((char*)context + GREGS_OFFSET) + REG_TRAPNO;
  if ((unsigned)*trap >= 32) *trap = TrapFor(number, (const struct SignalInfo*)info);
  wrapped[number](number, info, context);
}

static int IsFaultSignal(int number) {
  return number == SIGSEGV || number == SIGBUS || number == SIGILL || number == SIGFPE;
}

int sigaction(int number, const struct SignalAction* action, struct SignalAction* previous) {
  typedef int (*SigactionFunction)(int, const struct SignalAction*, struct SignalAction*);
  static SigactionFunction real;
  if (real == 0) real = (SigactionFunction)dlsym(RTLD_NEXT, "sigaction");

  struct SignalAction replaced;
  InfoHandler before = IsFaultSignal(number) ? wrapped[number] : 0;
  if (IsFaultSignal(number) && action != 0 && (action->flags & SA_SIGINFO) != 0 &&
      (unsigned long)action->handler > 1 /* neither SIG_DFL nor SIG_IGN */) {
    replaced = *action;
    wrapped[number] = (InfoHandler)action->handler;
    replaced.handler = (void*)FillInTrap;
    action = &replaced;
  }
  int result = real(number, action, previous);
  if (previous != 0 && previous->handler == (void*)FillInTrap) previous->handler = (void*)before;
  return result;
}
