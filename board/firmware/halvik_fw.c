/* Firmware of the Halvik I/O board (EZ-USB AN21xx, 8051 core, 24 MHz).
 *
 * The host downloads these 4096 bytes to address 0 at every board
 * initialisation; the image starts with the long jump that SDCC puts at
 * address 0. Once running, the firmware re-enumerates as 0547:2131, release
 * 0001, strings "GPFW" / "V100", one interface of class 0xFF with 14
 * endpoints, and serves the host's commands on EP1 OUT (pipe 0) with replies
 * on EP2 IN (pipe 8).
 *
 * Pins, and why:
 *   PC0-PC2  outlet latch address A0-A2   The host's port command writes port
 *   PC3      outlet latch enable ~E       C's low nibble (0x3n -> n), so the
 *                                         four outlets sit behind an 8-bit
 *                                         addressable latch (74HC259) on that
 *                                         nibble: 0x34-0x37 address latches
 *                                         4-7 (outlets 0-3) with ~E low, and
 *                                         0x3F (~E high) leaves every outlet
 *                                         holding its state.
 *   PA0      outlet latch data D          The port command's operand: bit 0
 *                                         switches the addressed outlet on (1)
 *                                         or off (0). Set while ~E is high.
 *   PA1      IR emitter (LED driver,      A plain output; the 38 kHz carrier
 *            active high)                 is toggled in software, timed by
 *                                         timer 0.
 *   PB1      IR receiver (demodulated,    An input away from the latch bus;
 *            active low, TSOP-style)      T2EX, so a later version can take
 *                                         edges by timer 2 capture.
 * Port C is an input until the host enables its low nibble with 0x0F; a
 * pull-up on ~E keeps the latch holding until then.
 *
 * Commands (each OUT packet is taken byte by byte, by the high nibble):
 *   0x0n           OEC := the whole byte
 *   0x3n, op       latch data := op bit 0, then port C low nibble := n
 *   0x80, part     one 64-byte reply on EP2 IN:
 *                  part 0: the 16-byte signature of the captured signal, and
 *                          the captured flag is cleared; byte 0 = 0 when
 *                          nothing new was captured
 *                  part 1-3: bytes 0-63 / 64-127 / 128-191 of the captured
 *                          code while the flag is set; part 3 clears it
 *                  other parts, or nothing captured: byte 0 = 0
 *   0x93, i, 62 bytes   i = 0 -> transmit buffer 0-61, 1 -> 62-123, other
 *                  -> 124-185; i = 2 transmits the buffer
 *   0xFn, op       accepted and ignored
 * A command whose operands run past the end of its packet is dropped.
 *
 * IR code: durations alternating mark, space, mark, ... in units of 64 us
 * (128 counts of timer 0 at CLK24/12; transmitted as five 13 us half periods
 * of the 38.5 kHz carrier, timer 1); 0xFF ends the code; 0xFE, n is a long
 * duration of n x 256 units. A capture ends after 0xFD units (16 ms) of
 * silence, so captures never need the escape; transmissions honour it.
 *
 * Signature (16 bytes): byte 0 the number of marks (1-255); bytes 1-15 one
 * bit per element after the leader mark and space, most significant bit
 * first: 1 when the element lasts at least twice the shortest element of its
 * kind (mark or space). A button gives the same signature at every press
 * although its durations jitter.
 */
#include "ezusb.h"

typedef unsigned char u8;
typedef unsigned int u16;

#define IR_TX 0x02      /* PA1 */
#define LATCH_DATA 0x01 /* PA0 */
#define IR_RX 0x02      /* PB1 */
#define LATCH_HOLD 0x08 /* PC3 = ~E */

#define UNIT_TICKS 128
#define CARRIER_RELOAD ((u8)(256 - 26)) /* timer 1 at 2 MHz: 13 us half periods, 38.5 kHz */
#define HALF_PERIODS_PER_UNIT 5    /* 65 us: the 64 us unit, 1.6 % long */
#define LONGEST_UNITS 0xFD
#define CODE_SIZE 192
#define SEND_SIZE 186
#define SIGNATURE_SIZE 16

__xdata u8 capture[CODE_SIZE];
__xdata u8 sendBuffer[SEND_SIZE];
__xdata u8 signature[SIGNATURE_SIZE];
volatile u8 captured;
u8 configuration;
u8 remoteWakeup;

/* Descriptors, one block at an even address: the core reads them itself
 * once SUDPTR points at one. */
#define DEVICE_AT 0
#define CONFIG_AT 18
#define STRING0_AT 134
#define STRING1_AT 138
#define STRING2_AT 148
#define DESCRIPTORS_BASE 0x0F00
__code __at(DESCRIPTORS_BASE) const u8 descriptors[158] = {
    /* device */
    18, 1, 0x00, 0x01, 0, 0, 0, 64, 0x47, 0x05, 0x31, 0x21, 0x01, 0x00, 1, 2, 0, 1,
    /* configuration: bus powered, remote wake-up, 500 mA; 9 + 9 + 14 x 7 bytes */
    9, 2, 116, 0, 1, 1, 0, 0xA0, 250,
    /* interface: 14 endpoints, vendor class */
    9, 4, 0, 0, 14, 0xFF, 0, 0, 0,
    /* endpoints in the order the driver numbers its pipes */
    7, 5, 0x01, 2, 64, 0, 0,
    7, 5, 0x02, 2, 64, 0, 0,
    7, 5, 0x03, 2, 64, 0, 0,
    7, 5, 0x04, 2, 64, 0, 0,
    7, 5, 0x05, 2, 64, 0, 0,
    7, 5, 0x06, 2, 64, 0, 0,
    7, 5, 0x07, 2, 64, 0, 0,
    7, 5, 0x81, 3, 64, 0, 10,
    7, 5, 0x82, 2, 64, 0, 0,
    7, 5, 0x83, 2, 64, 0, 0,
    7, 5, 0x84, 2, 64, 0, 0,
    7, 5, 0x85, 2, 64, 0, 0,
    7, 5, 0x86, 2, 64, 0, 0,
    7, 5, 0x87, 2, 64, 0, 0,
    /* strings: languages, "GPFW", "V100" */
    4, 3, 0x09, 0x04,
    10, 3, 'G', 0, 'P', 0, 'F', 0, 'W', 0,
    10, 3, 'V', 0, '1', 0, '0', 0, '0', 0,
};

static u16 Now(void) {
  u8 high, low;
  do {
    high = TH0;
    low = TL0;
  } while (high != TH0);
  return ((u16)high << 8) | low;
}

static void DelayMs(u16 ms) {
  while (ms--) {
    u16 start = Now();
    while ((u16)(Now() - start) < 2000) {
    }
  }
}

/* ---- USB control endpoint ------------------------------------------------ */

static void PointAt(u16 offset) {
  u16 at = DESCRIPTORS_BASE + offset;
  SUDPTRH = at >> 8;
  SUDPTRL = at & 0xFF; /* starts the transfer */
}

static void Reply(u8 count) { IN0BC = count; }

static void Stall(void) { EP0CS |= EP0STALL; }

static void GetDescriptor(void) {
  switch (SETUPDAT[3]) {
    case 1: PointAt(DEVICE_AT); break;
    case 2: PointAt(CONFIG_AT); break;
    case 3:
      if (SETUPDAT[2] == 0) PointAt(STRING0_AT);
      else if (SETUPDAT[2] == 1) PointAt(STRING1_AT);
      else if (SETUPDAT[2] == 2) PointAt(STRING2_AT);
      else Stall();
      break;
    default: Stall(); break;
  }
}

static void ServiceSetup(void) {
  u8 recipient;
  if (USBIRQ & URESIR) {
    USBIRQ = URESIR;
    configuration = 0;
  }
  if (!(USBIRQ & SUDAVIR)) return;
  USBIRQ = SUDAVIR;
  recipient = SETUPDAT[0] & 0x1F;
  switch (SETUPDAT[1]) {
    case 0x00: /* GET_STATUS */
      IN0BUF[0] = (recipient == 0 && remoteWakeup) ? 0x02 : 0x00;
      IN0BUF[1] = 0;
      Reply(2);
      break;
    case 0x01: /* CLEAR_FEATURE */
    case 0x03: /* SET_FEATURE */
      if (recipient == 0 && SETUPDAT[2] == 1) remoteWakeup = SETUPDAT[1] == 0x03;
      else if (recipient != 2) Stall();
      break;
    case 0x06: GetDescriptor(); break;
    case 0x08: IN0BUF[0] = configuration; Reply(1); break;
    case 0x09: configuration = SETUPDAT[2]; OUT1BC = 0; break;
    case 0x0A: IN0BUF[0] = 0; Reply(1); break;
    case 0x0B: break;
    default: Stall(); break;
  }
  EP0CS |= HSNAK;
}

/* ---- Infrared ------------------------------------------------------------ */

static void MakeSignature(u8 elements) {
  u8 k, bit, shortest[2];
  u8 marks = (elements + 1) / 2;
  for (k = 0; k < SIGNATURE_SIZE; ++k) signature[k] = 0;
  signature[0] = marks ? marks : 1;
  shortest[0] = shortest[1] = 0xFF;
  for (k = 2; k < elements; ++k) {
    if (capture[k] < shortest[k & 1]) shortest[k & 1] = capture[k];
  }
  for (k = 2, bit = 0; k < elements && bit < 120; ++k, ++bit) {
    if ((u16)capture[k] >= 2 * (u16)shortest[k & 1]) signature[1 + bit / 8] |= 0x80 >> (bit % 8);
  }
}

/* Measures one signal while the receiver is active, element by element. */
static void Capture(void) {
  u8 n = 0, mark = 1;
  u16 start = Now();
  for (;;) {
    u16 t, units;
    for (;;) {
      u8 active = !(PINSB & IR_RX);
      t = Now();
      if (active != mark) break;
      if ((u16)(t - start) >= LONGEST_UNITS * UNIT_TICKS) {
        /* Silence ends the signal; a mark this long is no remote. */
        if (mark || n < 4) return;
        capture[n] = 0xFF;
        MakeSignature(n);
        captured = 1;
        return;
      }
    }
    units = (u16)(t - start) / UNIT_TICKS;
    capture[n++] = units == 0 ? 1 : (u8)units;
    start = t;
    mark = !mark;
    if (n == CODE_SIZE - 1) {
      capture[n] = 0xFF;
      MakeSignature(n);
      captured = 1;
      return;
    }
  }
}

/* Timer 1 overflows every half period of the carrier; the loop waits for
 * each overflow, so its own time never adds up: a unit is five half periods
 * whatever the loop costs, as long as one pass is shorter than 13 us. */
static void Emit(u8 mark, u16 units) {
  u8 toggle = mark ? IR_TX : 0;
  while (units--) {
    u8 k = HALF_PERIODS_PER_UNIT;
    do {
      while (!TF1) {
      }
      TF1 = 0;
      OUTA ^= toggle;
    } while (--k);
  }
  OUTA &= ~IR_TX;
}

static void Transmit(void) {
  u8 i = 0, mark = 1;
  TF1 = 0;
  while (i < SEND_SIZE) {
    u8 b = sendBuffer[i++];
    if (b == 0xFF) break;
    if (b == 0xFE) {
      u8 n;
      if (i >= SEND_SIZE) break;
      for (n = sendBuffer[i++]; n; --n) Emit(mark, 256);
    } else {
      Emit(mark, b);
    }
    mark = !mark;
  }
  OUTA &= ~IR_TX;
}

/* ---- Host commands ------------------------------------------------------- */

static void PortCommand(u8 n, u8 operand) {
  OUTC |= LATCH_HOLD;
  OUTA = (OUTA & ~LATCH_DATA) | (operand & LATCH_DATA);
  OUTC = (OUTC & 0xF0) | n;
}

static void PrepareRead(u8 part) {
  u8 k;
  while (IN2CS & EPBSY) ServiceSetup(); /* the last reply is still unread */
  if (part == 0 && captured) {
    for (k = 0; k < SIGNATURE_SIZE; ++k) IN2BUF[k] = signature[k];
    captured = 0;
  } else if (part >= 1 && part <= 3 && captured) {
    u8 from = (part - 1) * 64;
    for (k = 0; k < 64; ++k) IN2BUF[k] = capture[from + k];
    if (part == 3) captured = 0;
  } else {
    IN2BUF[0] = 0;
  }
  IN2BC = 64;
}

static void CodePacket(u8 index, u8 at) {
  u8 k, from = index == 0 ? 0 : index == 1 ? 62 : 124;
  for (k = 0; k < 62; ++k) sendBuffer[from + k] = OUT1BUF[at + k];
  if (index == 2) Transmit();
}

static void ServiceCommands(void) {
  u8 n, i = 0;
  if (OUT1CS & EPBSY) return;
  n = OUT1BC;
  if (n > 64) n = 64;
  while (i < n) {
    u8 c = OUT1BUF[i++];
    switch (c >> 4) {
      case 0x0: OEC = c; break;
      case 0x3:
        if (i >= n) goto done;
        PortCommand(c & 0x0F, OUT1BUF[i++]);
        break;
      case 0x8:
        if (i >= n) goto done;
        PrepareRead(OUT1BUF[i++]);
        break;
      case 0x9:
        if (i + 63 > n) goto done;
        CodePacket(OUT1BUF[i], i + 1);
        i += 63;
        break;
      case 0xF: ++i; break;
      default: break;
    }
  }
done:
  OUT1BC = 0; /* re-arm for the next packet */
}

static void ServiceReceiver(void) {
  if (!captured && !(PINSB & IR_RX)) Capture();
}

void main(void) {
  PORTACFG = 0;
  PORTBCFG = 0;
  PORTCCFG = 0;
  OUTA = 0;
  OEA = IR_TX | LATCH_DATA;
  OEB = 0;
  OUTC = LATCH_HOLD;
  OEC = 0;
  CKCON &= ~0x18; /* timers 0 and 1 at CLK24/12: 2 MHz */
  TMOD = 0x21;     /* timer 0 16-bit free running, timer 1 8-bit auto-reload */
  TH1 = CARRIER_RELOAD;
  TL1 = CARRIER_RELOAD;
  TR0 = 1;
  TR1 = 1;

  ISOCTL = ISODISAB;
  IN07VAL = 0xFF;
  OUT07VAL = 0xFF;
  INISOVAL = 0;
  OUTISOVAL = 0;
  USBPAIR = 0;
  USBIEN = 0; /* the main loop polls */
  captured = 0;
  configuration = 0;
  remoteWakeup = 0;

  /* ReNumeration: leave the bus as the default device, come back as ours. */
  USBCS = DISCON | RENUM;
  DelayMs(200);
  USBIRQ = 0xFF;
  USBCS = DISCOE | RENUM;
  OUT1BC = 0;

  for (;;) {
    ServiceSetup();
    ServiceCommands();
    ServiceReceiver();
  }
}
